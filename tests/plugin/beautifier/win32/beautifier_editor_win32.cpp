// The test editor in the Windows build: the real control of Scintilla.dll (loaded from the test
// program's folder, as the IDE loads it) in a hidden top-level window that stands for the IDE's.
#include <windows.h>

#ifdef _MSC_VER
#include <intrin.h>
#else
#include <x86intrin.h>
#endif

#include <memory>
#include <string>
#include <vector>

#include "beautifier_editor.h"
#include "iface/scintilla.h"
#include "plugin/format_schedule.h"

namespace beautifier_test {

namespace {

std::function<void(std::uint32_t)> g_observer;
WNDPROC g_editorProcedure = nullptr;
// Time-stamp counter ticks spent inside the control's procedure (an outer call counts a nested
// one with it). The time-stamp counter, not the performance counter: under Wine reading that
// costs about as much as a cheap message.
unsigned long long g_ticksInside = 0;
int g_observedDepth = 0;

LRESULT CALLBACK ObservingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (g_observer) g_observer(message);
  const unsigned long long before = __rdtsc();
  ++g_observedDepth;
  const LRESULT result = CallWindowProcW(g_editorProcedure, window, message, wParam, lParam);
  --g_observedDepth;
  if (g_observedDepth == 0) g_ticksInside += __rdtsc() - before;
  return result;
}

// Time-stamp counter ticks a microsecond, measured once against the performance counter.
double TicksPerMicrosecond() {
  static const double ticks = [] {
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const unsigned long long ticksAtStart = __rdtsc();
    do {
      QueryPerformanceCounter(&now);
    } while (now.QuadPart - start.QuadPart < frequency.QuadPart / 50);
    const double microseconds = static_cast<double>(now.QuadPart - start.QuadPart) * 1e6 /
                                static_cast<double>(frequency.QuadPart);
    return static_cast<double>(__rdtsc() - ticksAtStart) / microseconds;
  }();
  return ticks;
}

HWND CreateEditor(HWND parent, int id) {
  static const HMODULE scintilla = LoadLibraryW(L"Scintilla.dll");
  if (scintilla == nullptr) return nullptr;
  const HWND editor = CreateWindowExW(0, L"Scintilla", L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 400,
                                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                      GetModuleHandleW(nullptr), nullptr);
  if (editor != nullptr)
    SetPropW(editor, L"PB_ID", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(id)));
  return editor;
}

}  // namespace

struct BeautifierEditor::Editors {
  HWND ide = nullptr;
  HWND main = nullptr;
};

BeautifierEditor::BeautifierEditor() : editors_(std::make_unique<Editors>()) {
  ResetPendingFormat();
  editors_->ide = CreateWindowExW(0, L"STATIC", L"IDE", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetPropW(editors_->ide, L"PB_ID", reinterpret_cast<HANDLE>(1));
  editors_->main = CreateEditor(editors_->ide, 100);
  ideWindow_ = editors_->ide;
  context_.ideWindow = editors_->ide;
  context_.editor = editors_->main;
  Set(DefaultSettings());
}

BeautifierEditor::~BeautifierEditor() {
  ObserveMessages(nullptr);
  if (editors_->ide != nullptr) DestroyWindow(editors_->ide);  // and its editors
  ResetPendingFormat();
}

std::string BeautifierEditor::TextOf(os::Window editor) const {
  const HWND window = static_cast<HWND>(editor);
  const LRESULT length = SendMessageW(window, sci::SCI_GETLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageW(window, sci::SCI_GETTEXT, static_cast<WPARAM>(length),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void BeautifierEditor::ObserveMessages(std::function<void(std::uint32_t)> observer) {
  const HWND editor = static_cast<HWND>(context_.editor);
  if (observer) {
    g_observer = std::move(observer);
    if (g_editorProcedure == nullptr) {
      g_editorProcedure = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ObservingProcedure)));
    }
    return;
  }
  g_observer = nullptr;
  if (g_editorProcedure != nullptr) {
    SetWindowLongPtrW(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_editorProcedure));
    g_editorProcedure = nullptr;
  }
}

double BeautifierEditor::ObservedMicroseconds() const {
  return static_cast<double>(g_ticksInside) / TicksPerMicrosecond();
}

os::Window BeautifierEditor::AddEditor() { return CreateEditor(editors_->ide, 101); }

const char* EditorDescription() { return "Windows build, the real control of Scintilla.dll"; }

}  // namespace beautifier_test
