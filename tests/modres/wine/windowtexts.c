/* windowtexts.exe: the texts of the windows of a running program under Wine,
 * for tests/modres/wine_strings_check.py. Built there with mingw-w64.
 *
 *   windowtexts list          every top-level window and each of its child
 *                             windows: "TOP|CHILD <TAB> class <TAB> text", UTF-8
 *   windowtexts click TEXT    posts BM_CLICK to the first button reading TEXT;
 *                             exits 1 when there is none
 */
#include <windows.h>

static void out(const wchar_t* text) {
  char buf[4096];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buf, sizeof buf, NULL, NULL);
  DWORD written;
  if (n > 1) WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), buf, (DWORD)(n - 1), &written, NULL);
}

static void line(const wchar_t* kind, HWND w) {
  wchar_t cls[256], text[1024];
  cls[0] = text[0] = 0;
  GetClassNameW(w, cls, 256);
  GetWindowTextW(w, text, 1024);
  out(kind);
  out(L"\t");
  out(cls);
  out(L"\t");
  out(text);
  out(L"\n");
}

static BOOL CALLBACK listChild(HWND w, LPARAM p) {
  (void)p;
  line(L"CHILD", w);
  return TRUE;
}

static BOOL CALLBACK listTop(HWND w, LPARAM p) {
  (void)p;
  line(L"TOP", w);
  EnumChildWindows(w, listChild, 0);
  return TRUE;
}

static const wchar_t* wanted;
static HWND found;

static BOOL CALLBACK findChild(HWND w, LPARAM p) {
  wchar_t cls[256], text[1024];
  (void)p;
  GetClassNameW(w, cls, 256);
  GetWindowTextW(w, text, 1024);
  if (lstrcmpiW(cls, L"Button") != 0 && lstrcmpiW(cls, L"TButton") != 0) return TRUE;
  if (lstrcmpW(text, wanted) != 0) return TRUE;
  found = w;
  return FALSE;
}

static BOOL CALLBACK findTop(HWND w, LPARAM p) {
  (void)p;
  EnumChildWindows(w, findChild, 0);
  return found == NULL;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && lstrcmpW(argv[1], L"list") == 0) {
    EnumWindows(listTop, 0);
    return 0;
  }
  if (argc == 3 && lstrcmpW(argv[1], L"click") == 0) {
    wanted = argv[2];
    EnumWindows(findTop, 0);
    if (!found) return 1;
    PostMessageW(found, BM_CLICK, 0, 0);
    return 0;
  }
  out(L"usage: windowtexts list | click TEXT\n");
  return 2;
}
