// A small plugin that proves zentrel-replay without the shipped plugin: it records what its hook
// sees into properties of the IDE window and reacts to a few events the way a helper would.
#include "core/property_names.h"
#include "iface/scintilla.h"
#include "os/os.h"
#include "replay.h"

namespace {

std::string Name(os::Window ide, const char* suffix) {
  return core::PropertyPrefix(core::HandleValue(ide)) + suffix;
}

void Bump(os::Window ide, const char* suffix) {
  const std::string name = Name(ide, suffix);
  os::SetProp(ide, name, os::GetProp(ide, name) + 1);
}

os::LResult Send(os::Window editor, std::uint32_t message, os::WParam wParam = 0,
                 os::LParam lParam = 0) {
  return os::SendMessage(editor, message, wParam, lParam);
}

void OnNotification(os::Window ide, const sci::Notification& scn) {
  os::Window editor = scn.nmhdr.hwndFrom;
  Bump(ide, ".Test.Notifications");
  switch (scn.nmhdr.code) {
    case sci::SCN_FOCUSIN:
      // Like the visual helpers: a caret width from the settings and a caret policy.
      Send(editor, sci::SCI_SETCARETWIDTH,
           static_cast<os::WParam>(os::GetProp(ide, Name(ide, ".Settings.Test.CaretWidth.Value"))));
      Send(editor, sci::SCI_SETYCARETPOLICY, 13, 5);
      break;
    case sci::SCN_MODIFIED:
      if (scn.modificationType & sci::SC_MOD_INSERTTEXT)
        os::SetProp(ide, Name(ide, ".Test.LastInsert"), scn.position);
      break;
    case sci::SCN_CHARADDED:
      os::SetProp(ide, Name(ide, ".Test.LastChar"), scn.ch);
      if (scn.ch == '(') {
        // Closes the bracket after the caret: an insertion at the caret stays behind it.
        const os::LResult caret = Send(editor, sci::SCI_GETCURRENTPOS);
        Send(editor, sci::SCI_SETTARGETSTART, static_cast<os::WParam>(caret));
        Send(editor, sci::SCI_SETTARGETEND, static_cast<os::WParam>(caret));
        Send(editor, sci::SCI_REPLACETARGET, static_cast<os::WParam>(-1),
             reinterpret_cast<os::LParam>(")"));
      } else if (scn.ch == '!') {
        // Asks the IDE to re-indent, as the re-indent sequence does.
        os::KeybdEvent(os::kVK_CONTROL, 0, 0);
        os::KeybdEvent(os::kVK_I, 0, 0);
        os::KeybdEvent(os::kVK_I, 0, os::kKEYEVENTF_KEYUP);
        os::KeybdEvent(os::kVK_CONTROL, 0, os::kKEYEVENTF_KEYUP);
      }
      break;
    case sci::SCN_UPDATEUI:
      os::SetProp(ide, Name(ide, ".Test.LastUpdate"), scn.updated);
      Bump(ide, ".Test.Updates");
      break;
    default:
      break;
  }
}

os::LResult VORPEX_STDCALL TestHook(int code, os::WParam wParam, os::LParam lParam) {
  if (code == os::kHC_ACTION) {
    const auto& record = *reinterpret_cast<const os::CallWndRetRecord*>(lParam);
    const os::Window ide = os::GetRootAncestor(record.hwnd);
    if (ide && os::GetProp(ide, "PB_ID") != 0) {
      if (record.message == os::kWM_NOTIFY && record.lParam != 0) {
        OnNotification(ide, *reinterpret_cast<const sci::Notification*>(record.lParam));
      } else if (record.message == sci::SCI_PASTE) {
        Bump(ide, ".Test.Pastes");
      }
    }
  }
  return os::CallNextHookEx(nullptr, code, wParam, lParam);
}

void PublishTestDefaults(os::Window ide) {
  os::SetProp(ide, Name(ide, ".Settings.Test.CaretWidth.Value"), 2);
  os::SetProp(ide, Name(ide, ".Settings.Test.Other.Value"), 7);
}

}  // namespace

namespace replay {

ReplayPlugin LinkedPlugin() {
  ReplayPlugin plugin;
  plugin.hook = &TestHook;
  plugin.publishDefaultSettings = &PublishTestDefaults;
  return plugin;
}

}  // namespace replay
