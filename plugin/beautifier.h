// Code beautifier: the spacing rules and the actions they perform on one search's groups.
//
// FormatLines itself is declared in plugin/helpers.h. Every rule works on the groups of the
// editor's last regular-expression search: G1 (what stands before the character), G2 (the
// character or operator) and G3 (what follows it).
#pragma once

// What a rule does for one setting value. The numbers are the rule table's own.
enum class SpacingAction : int {
  UseDefaultSpacing = -15,  // setting 0 only: OneBlankBefore with DefaultSpacing 1, else SkipBlanks
  SkipBlanks = -1,          // no edit; continue behind G1
  Keep = 0,                 // no edit; continue behind G2
  Tight = 1,                // remove the blanks before and after G2
  SpaceAfter = 2,           // no blank before, one after
  SpaceAround = 3,          // one blank before and one after
  TightBefore = 4,          // no blank before
  OneBlankBefore = 5,       // one blank before
  JoinLabel = 11,           // remove G2 (the blanks between a label and its colon)
  SkipMatch = 111,          // no edit; continue behind the match
  NotOffered = 1000,        // the rule offers no such choice: acts as its "No rules" action
};
