// Prints what a shell shortcut (.lnk) starts, one "Name=value" line each, as Explorer
// reads it through IShellLinkW, so that scripts can check the shortcuts the setup program
// makes (scripts/check-package): the listener finds its configuration in the working folder.
//
//   shortcut_probe.exe <file.lnk>
// Exit code 1 when the file cannot be read as a shortcut.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "support/test_files_win32.h"

namespace {

template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: shortcut_probe <file.lnk>\n", stderr);
    return 2;
  }
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  Released<IShellLinkW> link;
  Released<IPersistFile> file;
  wchar_t target[MAX_PATH] = {};
  wchar_t folder[MAX_PATH] = {};
  wchar_t arguments[INFOTIPSIZE] = {};
  // SLGP_RAWPATH: the target as stored, without the shell resolving it on this machine.
  const bool read =
      SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(&link.p))) &&
      SUCCEEDED(link.p->QueryInterface(IID_PPV_ARGS(&file.p))) &&
      SUCCEEDED(file.p->Load(argv[1], STGM_READ)) &&
      SUCCEEDED(link.p->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
      SUCCEEDED(link.p->GetWorkingDirectory(folder, MAX_PATH)) &&
      SUCCEEDED(link.p->GetArguments(arguments, INFOTIPSIZE));
  if (!read) {
    std::fputs("not a readable shortcut\n", stderr);
    return 1;
  }
  std::printf("Target=%s\n", Narrow(target).c_str());
  std::printf("WorkingDirectory=%s\n", Narrow(folder).c_str());
  std::printf("Arguments=%s\n", Narrow(arguments).c_str());
  return 0;
}
