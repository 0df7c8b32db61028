/* vorpex_plugin.h: the interface between toolhost.exe and a plugin library.
 *
 * A plugin is a DLL in toolhost.exe's folder (every *.dll there is loaded as one). The host
 * loads it into its own process, asks it once for its settings fragment, shows the fragment's
 * controls in its settings window and publishes every setting as a window property on the IDE
 * main window. It then installs the plugin's hook procedures on the IDE's user-interface thread:
 * Windows maps the same DLL into the IDE process and calls them there. The two copies share no
 * memory; the window properties are the channel between them.
 *
 * Every export is optional and looked up by its plain name (case matters). The DLL must have
 * the IDE's word size: a 64-bit DLL for a 64-bit IDE, a 32-bit DLL for a 32-bit one.
 *
 * Plain C (C99, or C89 with MSVC's __inline), usable from C and C++ with MinGW and MSVC.
 */
#ifndef VORPEX_PLUGIN_H
#define VORPEX_PLUGIN_H

#include <windows.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------------------------
 * Calling convention and export names
 *
 * The host calls every export with the standard calling convention of exported Windows
 * functions, __stdcall (the callee removes its arguments; on x64 there is one convention and
 * the keyword is accepted and ignored). On 32-bit x86 the compilers decorate a __stdcall name
 * (_RetrievePluginDebug@8), and __declspec(dllexport) exports it decorated. Two ways to plain
 * names, for both word sizes:
 *   - a module-definition file that lists them (sample/sample_plugin.def): define
 *     VORPEX_PLUGIN_EXPORT as empty before including this header, as the sample does, or the
 *     decorated names are exported beside the plain ones (MinGW: link with
 *     -Wl,--enable-stdcall-fixup to silence its note that it matched them);
 *   - with MinGW only: keep __declspec(dllexport) and link with -Wl,--kill-at.
 * Check with `objdump -p YourPlugin.dll` or `dumpbin /exports YourPlugin.dll`: the export
 * table must list exactly the plain names.
 */
#define VORPEX_PLUGIN_CALL __stdcall
#ifndef VORPEX_PLUGIN_EXPORT
#define VORPEX_PLUGIN_EXPORT __declspec(dllexport)
#endif

/* ------------------------------------------------------------------------------------------
 * The exports
 */

/* Called once, in the host process, right after the DLL is loaded. Returns the plugin's
 * settings fragment: a dialog description (GUIDE.md) as NUL-terminated UTF-16. The text stays
 * owned by the plugin and must stay valid until the next call of this export; the host copies
 * it at once. NULL, or a missing export, is an empty fragment. A fragment that is not
 * well-formed XML, or that the dialog engine rejects, stops the host with its error text. */
VORPEX_PLUGIN_EXPORT const wchar_t* VORPEX_PLUGIN_CALL RetrievePluginXMLDialog(void);

/* Called in the host process five times a second while the host's "Logs" page shows one of
 * the modes "Props", "Scintilla", "Styles" or "Indicators" (the word arrives in `mode`), with
 * the IDE main window in `ideWindow`. Returns the text to show, NUL-terminated UTF-16, owned
 * by the plugin until its next call. NULL keeps the text shown before. Only the first loaded
 * plugin is asked. */
VORPEX_PLUGIN_EXPORT const wchar_t* VORPEX_PLUGIN_CALL RetrievePluginDebug(INT_PTR ideWindow,
                                                                           const wchar_t* mode);

/* Hook procedures, run in the IDE process on its user-interface thread, never in the host.
 * Each has Windows' hook form (CALLBACK is __stdcall) and must end by passing the call on:
 * `return CallNextHookEx(NULL, code, wParam, lParam);`. They are called re-entrantly: a
 * message that the procedure sends to a window of the IDE comes back through it before the
 * send returns. Nothing may be thrown out of them. */

/* WH_CALLWNDPROCRET (kind 12), after a window of the IDE has processed a sent message. When
 * `code` is HC_ACTION, `lParam` points to a VorpexHookRecord. */
VORPEX_PLUGIN_EXPORT LRESULT CALLBACK OnHookCallbackComplete(int code, WPARAM wParam,
                                                             LPARAM lParam);
/* WH_CALLWNDPROC (kind 4), before a window of the IDE processes a sent message; `lParam`
 * points to a CWPSTRUCT. */
VORPEX_PLUGIN_EXPORT LRESULT CALLBACK OnHookCallback(int code, WPARAM wParam, LPARAM lParam);
/* WH_MOUSE (kind 7); `lParam` points to a MOUSEHOOKSTRUCT. */
VORPEX_PLUGIN_EXPORT LRESULT CALLBACK OnHookMouse(int code, WPARAM wParam, LPARAM lParam);

/* The hook record of OnHookCallbackComplete: Windows' CWPRETSTRUCT.
 *   lResult  what the window procedure returned
 *   lParam, wParam, message  the message
 *   hwnd     the window that processed it
 * The IDE main window is the root ancestor of any of its windows: GetAncestor(hwnd, GA_ROOT).
 * The IDE's editors are windows of class "Scintilla"; they report to their parent with
 * WM_NOTIFY. */
typedef CWPRETSTRUCT VorpexHookRecord;

/* ------------------------------------------------------------------------------------------
 * Settings as window properties
 *
 * Every setting of a fragment is published on the IDE main window as a property named
 *
 *     PREFIX ".Settings." GROUP "." KEY ".Value"
 *
 * PREFIX  the IDE main window handle in upper-case hexadecimal, no leading zeros and no
 *         "0x" (the handle taken as a signed number widened to 64 bits, so that 32-bit and
 *         64-bit programs build the same name);
 * GROUP   the `name` of the fragment's <container>;
 * KEY     the control's `name` up to its first ":" (Mode:0, Mode:1 share the key Mode).
 *
 * For example the check box UseCtrlEnter of the group StringHelpers, with the IDE window
 * 0x1F4, is the property "1F4.Settings.StringHelpers.UseCtrlEnter.Value". The value is an
 * integer stored as the property's handle: GetPropW gives it back (NULL, that is 0, when the
 * property is absent or the group is switched off in the host's list). Read it when you need
 * it: it changes the moment the user changes the control.
 *
 * The host also keeps PREFIX ".Plugin.UpdateDate" (changes with every store of a setting),
 * PREFIX ".Plugin.ProcessId" and PREFIX ".Plugin.Tool"; leave the ".Plugin." and ".Settings."
 * names to the host and give the properties of your own plugin a name part of their own.
 */

/* Longest property prefix: 16 hexadecimal digits. */
#define VORPEX_PREFIX_MAX 16

#if defined(_MSC_VER) && !defined(__cplusplus)
#define VORPEX_INLINE static __inline
#else
#define VORPEX_INLINE static inline
#endif

/* Writes the property prefix of `ideWindow` into `out` (at least VORPEX_PREFIX_MAX + 1
 * characters) and returns its length. */
VORPEX_INLINE size_t VorpexPropertyPrefix(HWND ideWindow, wchar_t* out) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  unsigned long long bits = (unsigned long long)(long long)(INT_PTR)ideWindow;
  wchar_t reversed[VORPEX_PREFIX_MAX];
  size_t count = 0, i;
  do {
    reversed[count++] = digits[bits & 0xF];
    bits >>= 4;
  } while (bits != 0);
  for (i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  out[count] = 0;
  return count;
}

/* Writes `prefix` + `suffix` into `out` of `capacity` characters. Returns 0 when it does not
 * fit (then `out` is empty), 1 otherwise. */
VORPEX_INLINE int VorpexPropertyName(HWND ideWindow, const wchar_t* suffix, wchar_t* out,
                                     size_t capacity) {
  wchar_t prefix[VORPEX_PREFIX_MAX + 1];
  size_t length = VorpexPropertyPrefix(ideWindow, prefix), i, j;
  size_t suffixLength = 0;
  while (suffix[suffixLength]) ++suffixLength;
  if (capacity == 0) return 0;
  if (length + suffixLength + 1 > capacity) {
    out[0] = 0;
    return 0;
  }
  for (i = 0; i < length; ++i) out[i] = prefix[i];
  for (j = 0; j < suffixLength; ++j) out[i + j] = suffix[j];
  out[i + j] = 0;
  return 1;
}

/* The name of the setting property of `key` in `group`, as above. Returns 0 when it does not
 * fit into `capacity` characters. */
VORPEX_INLINE int VorpexSettingName(HWND ideWindow, const wchar_t* group, const wchar_t* key,
                                    wchar_t* out, size_t capacity) {
  static const wchar_t settings[] = L".Settings.";
  static const wchar_t value[] = L".Value";
  const wchar_t* parts[5];
  size_t length, p, i;
  parts[0] = settings;
  parts[1] = group;
  parts[2] = L".";
  parts[3] = key;
  parts[4] = value;
  if (!VorpexPropertyName(ideWindow, L"", out, capacity)) return 0;
  length = 0;
  while (out[length]) ++length;
  for (p = 0; p < 5; ++p) {
    for (i = 0; parts[p][i]; ++i) {
      if (length + 1 >= capacity) {
        out[0] = 0;
        return 0;
      }
      out[length++] = parts[p][i];
    }
  }
  out[length] = 0;
  return 1;
}

/* The current value of a setting: 0 when it is absent or its group is switched off. */
VORPEX_INLINE INT_PTR VorpexReadSetting(HWND ideWindow, const wchar_t* group, const wchar_t* key) {
  wchar_t name[256];
  if (!VorpexSettingName(ideWindow, group, key, name, sizeof name / sizeof name[0])) return 0;
  return (INT_PTR)GetPropW(ideWindow, name);
}

#ifdef __cplusplus
}
#endif

#endif /* VORPEX_PLUGIN_H */
