// Splicing a plugin's settings fragment into the host's window description.
#pragma once

#include <cstdint>
#include <string>

// Every "<container " of the fragment (without regard to case) gains the attributes
// library='N' ide='H' (both decimal), and the fragment gains a final "\n".
std::string TagFragment(const std::string& fragment, int library, std::int64_t ideHandle);
// Every "</multibox>" (exact case) of the description becomes taggedFragment + "\n</multibox>".
std::string SpliceFragment(const std::string& description, const std::string& taggedFragment);
