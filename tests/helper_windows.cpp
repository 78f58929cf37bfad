// Another program beside a run, for the Windows tests under Wine:
//   windows_helper lock FOLDER   holds FOLDER's lock as a run with other
//                                rights (an administrator's) holds it: with a
//                                security that lets no one else open it
//   windows_helper hold FILE     holds FILE open without sharing it, as a
//                                viewer or an editor may
// Each says "ready" once it holds, and holds until its standard input ends.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/disk_windows.hpp"
#include "platform/utf8_windows.hpp"

namespace {

HANDLE LockAsAnotherRun(const char* folder) {
  std::wstring name;
  if (stampwise::platform::FolderLockName(folder, &name) != 0) return nullptr;
  SECURITY_DESCRIPTOR nobody;
  ACL empty;
  InitializeSecurityDescriptor(&nobody, SECURITY_DESCRIPTOR_REVISION);
  InitializeAcl(&empty, sizeof empty, ACL_REVISION);
  SetSecurityDescriptorDacl(&nobody, TRUE, &empty, FALSE);
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &nobody, FALSE};
  return CreateMutexW(&attributes, FALSE, name.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  std::string what = argv[1];
  HANDLE held = nullptr;
  if (what == "lock") held = LockAsAnotherRun(argv[2]);
  if (what == "hold")
    held = CreateFileW(stampwise::platform::Widen(argv[2]).c_str(), GENERIC_READ, 0, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == nullptr || held == INVALID_HANDLE_VALUE) return 1;
  std::puts("ready");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  CloseHandle(held);
  return 0;
}
