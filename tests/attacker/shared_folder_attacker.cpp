// Another user of a folder both may write to, attacking the runs of the test's
// user there until it is killed. Started by the shared-folder tests as another
// uid (setpriv); Linux only (renameat2).
//
//   exchange DIR TARGET  a new private folder is exchanged at once for a folder of
//                        ours whose scratch names are links to the file TARGET
//   symlink DIR TARGET   a new private folder is moved away and a link to the
//                        folder TARGET put in its place
//   leftover DIR TARGET  a leftover folder of ours, whose subfolder is exchanged
//                        over and over with a link to the folder TARGET
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const kScratchNames[] = {"lock", "lock.making", "out.zip", "out.zip.making", "entry-0", "entry-0.making",
                                     "entry-1", "slot0-0", "slot1-0", "slot2-0", "slot3-0", "slot0-0.making",
                                     "slot1-0.making", "slot2-0.making", "slot3-0.making"};

bool IsPrivateFolderName(const char* name) { return std::strncmp(name, ".quenmar-", 9) == 0 && std::strlen(name) == 25; }

std::vector<std::string> NewPrivateFolders(const std::string& dir, std::set<std::string>& seen) {
  std::vector<std::string> found;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      if (IsPrivateFolderName(e->d_name) && seen.insert(e->d_name).second) found.push_back(e->d_name);
    }
    closedir(d);
  }
  return found;
}

std::string MakeDecoy(const std::string& dir, int n, const std::string& target) {
  const std::string decoy = dir + "/.decoy-" + std::to_string(getpid()) + "-" + std::to_string(n);
  mkdir(decoy.c_str(), 0777);
  chmod(decoy.c_str(), 0777);
  for (const char* name : kScratchNames) symlink(target.c_str(), (decoy + "/" + name).c_str());
  return decoy;
}

int Exchange(const std::string& dir, const std::string& target) {
  std::set<std::string> seen;
  int n = 0;
  std::string decoy = MakeDecoy(dir, n, target);
  for (;;) {
    for (const std::string& name : NewPrivateFolders(dir, seen)) {
      if (renameat2(AT_FDCWD, (dir + "/" + name).c_str(), AT_FDCWD, decoy.c_str(), RENAME_EXCHANGE) == 0) {
        decoy = MakeDecoy(dir, ++n, target);
      }
    }
  }
}

int Symlink(const std::string& dir, const std::string& target) {
  std::set<std::string> seen;
  int n = 0;
  for (;;) {
    for (const std::string& name : NewPrivateFolders(dir, seen)) {
      const std::string path = dir + "/" + name;
      if (rename(path.c_str(), (dir + "/.moved-" + std::to_string(++n)).c_str()) == 0) {
        symlink(target.c_str(), path.c_str());
      }
    }
  }
}

int Leftover(const std::string& dir, const std::string& target) {
  const std::string leftover = dir + "/.quenmar-0123456789abcdef";
  for (;;) {
    struct stat st;
    if (lstat((leftover + "/lock").c_str(), &st) != 0) {
      mkdir(leftover.c_str(), 0777);
      chmod(leftover.c_str(), 0777);
      close(open((leftover + "/lock").c_str(), O_CREAT | O_WRONLY, 0666));
      mkdir((leftover + "/sub").c_str(), 0777);
      chmod((leftover + "/sub").c_str(), 0777);
      for (int i = 0; i < 50; ++i) close(open((leftover + "/sub/f" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0666));
      symlink(target.c_str(), (leftover + "/link").c_str());
    }
    for (int i = 0; i < 1000; ++i) {
      renameat2(AT_FDCWD, (leftover + "/sub").c_str(), AT_FDCWD, (leftover + "/link").c_str(), RENAME_EXCHANGE);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: %s exchange|symlink|leftover DIR TARGET\n", argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  if (mode == "exchange") return Exchange(argv[2], argv[3]);
  if (mode == "symlink") return Symlink(argv[2], argv[3]);
  if (mode == "leftover") return Leftover(argv[2], argv[3]);
  return 2;
}
