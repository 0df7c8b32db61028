// Editor probes: one fixed set of edits, searches and keystrokes sent to an editor, with what
// the editor answers and every notification it reports, written as a transcript.
//
// The same probes run on the real Scintilla control inside standin-ide.exe (under Wine, from a
// hook library loaded into the IDE) and natively on the headless editor. Both transcripts must
// equal the one recorded from the real control (probes.expected): that is what makes the
// headless editor a faithful stand-in for the control.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "os/os.h"

namespace probes {

// How the probes reach the editor. Every editor message goes through `send`, so that hooks see
// it as they see the plugin's messages.
struct Target {
  os::Window editor = nullptr;
  std::function<os::LResult(std::uint32_t message, os::WParam, os::LParam)> send;
  std::function<void(const std::string& utf8Character)> typeCharacter;  // one typed character
  std::function<void()> pressEnter;
  std::function<void(const std::string& utf8Text)> setClipboard;
  // Lets the editor do what it does when the IDE is idle: style and report SCN_UPDATEUI.
  std::function<void()> idle;
};

// To be called from a WH_CALLWNDPROCRET hook for every message processed on the IDE's thread:
// records the probed editor's notifications while a probe runs.
void Observe(const os::CallWndRetRecord& record);

// Runs every probe on `target` and returns the transcript.
std::string RunAll(const Target& target);

// First differing line of two transcripts ("" when equal), for test messages.
std::string FirstDifference(const std::string& expected, const std::string& actual);

}  // namespace probes
