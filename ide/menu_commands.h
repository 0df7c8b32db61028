// The stand-in IDE's menu commands (WM_COMMAND identifiers): its menus and accelerators send
// them, and its tests and the live runner's probe send them as a user's menu choice.
#pragma once

#include <cstdint>

namespace ide {

enum MenuCommand : std::uint16_t {
  kFileNew = 101,
  kFileOpen,
  kFileSave,
  kFileSaveAs,
  kFileClose,
  kFileExit,
  kEditUndo = 201,
  kEditRedo,
  kEditCut,
  kEditCopy,
  kEditPaste,
  kEditSelectAll,
  kEditReindent,
  kToolsStartHost = 301,
  kToolsRunProgram,
  kNextTab = 401,
  kPreviousTab,
};

}  // namespace ide
