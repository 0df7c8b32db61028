// A small IDE on the simulated window system for the plugin's unit tests: a main window with
// PB_ID, a tool window, and editors of class "Scintilla" with a plain text model that answer the
// messages the plugin sends and report to their parent as the real control does (the same
// notifications, in the same order, synchronously).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "iface/scintilla.h"
#include "os/os.h"

struct FakeEditor {
  os::Window window = nullptr;
  std::string text;
  std::int64_t caret = 0;
  std::int64_t anchor = 0;
  std::int64_t targetStart = 0;
  std::int64_t targetEnd = 0;
  int eolMode = sci::SC_EOL_CRLF;
  int undoDepth = 0;
  int undoBegins = 0;
  bool selectionHidden = false;
  std::string clipboard;
  std::string tags[10];
  std::uintptr_t lastSearchFlags = 0;
  // Answers for the style and indicator getters, by message number and index.
  std::int64_t (*attribute)(std::uint32_t message, std::int64_t index) = nullptr;
  // Every message the editor received, in order, with its parameters.
  struct Received {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };
  std::vector<Received> received;
};

struct FakeIde {
  os::Window main = nullptr;
  os::Window tool = nullptr;
  std::vector<FakeEditor*> editors;
  bool ignoreCtrlI = false;
  os::Hook hook = nullptr;
};

// Resets the simulated world and the plugin, creates the IDE with one editor, publishes
// ".Plugin.Tool" and installs the plugin's hook.
FakeIde& StartFakeIde();
FakeEditor& AddEditor(FakeIde& ide);
void StopFakeIde();

// The user's actions; each ends as the IDE's idle time would: queued keys, then a paint.
void SetText(FakeEditor& editor, const std::string& text, std::int64_t caret);
void TypeText(FakeEditor& editor, const std::string& text);
void PressEnter(FakeEditor& editor);
void Paste(FakeEditor& editor, const std::string& text);
void Focus(FakeEditor& editor);
void MoveCaret(FakeEditor& editor, std::int64_t position);

// The pieces of it, for tests that need the steps apart.
void InsertByUser(FakeEditor& editor, std::int64_t position, const std::string& text);
void NotifyCharAdded(FakeEditor& editor, int ch);
void NotifyUpdateUi(FakeEditor& editor, int updated);
void DeliverQueuedInput(FakeIde& ide);
void Idle(FakeIde& ide);

// Publishes a setting as the host would: the property, then the update stamp.
void PublishSetting(FakeIde& ide, const std::string& group, const std::string& key,
                    std::intptr_t value);

// Line arithmetic of the fake editor's text.
std::int64_t LineStart(const FakeEditor& editor, std::int64_t line);
std::int64_t LineOf(const FakeEditor& editor, std::int64_t position);

// Messages the editor received since `from` with this number.
int CountReceived(const FakeEditor& editor, std::uint32_t message, std::size_t from = 0);
