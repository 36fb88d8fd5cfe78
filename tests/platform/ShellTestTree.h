#pragma once
// A temporary tree standing in for the user's machine: a home folder with XDG user folders named
// by a user-dirs file, a data folder for the trash, and a mount table with a root, a USB stick, a
// CD, a network share, a RAM disk and the pseudo file systems that must not show.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/shell/Environment.h"

namespace shelltest {

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Tree {
 public:
  Tree() {
    char tmpl[] = "/tmp/ombrel-shell-XXXXXX";
    root = mkdtemp(tmpl);
    home = root + "/home/user";
    namespace fs = std::filesystem;
    for (const char* d : {"/桌面", "/文档", "/Videos", "/.config", "/.local/share"}) fs::create_directories(home + d);
    fs::create_directories(root + "/media/usb");
    fs::create_directories(root + "/media/cd");
    fs::create_directories(root + "/net/share");
    fs::create_directories(root + "/ram");
    fs::create_directories(root + "/sys/dev/block/8:17");
    fs::create_directories(root + "/sys/dev/block/8:1");
    WriteText(root + "/sys/dev/block/8:17/removable", "1\n");
    WriteText(root + "/sys/dev/block/8:1/removable", "0\n");
    fs::create_directories(root + "/by-label");
    // The stick's label, with the escaped space the label links use.
    if (symlink("/dev/sdb1", (root + "/by-label/MY\\x20STICK").c_str()) != 0) root.clear();
    WriteText(home + "/.config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\n"
              "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
              "XDG_DOCUMENTS_DIR=\"$HOME/文档\"\n"
              "XDG_MUSIC_DIR=\"$HOME/\"\n"
              "XDG_PICTURES_DIR=\"$HOME/missing\"\n"
              "XDG_VIDEOS_DIR=\"$HOME/Videos\"\n");
    WriteText(root + "/mountinfo",
              "21 1 0:19 / /proc rw,nosuid - proc proc rw\n"
              "1 0 0:30 / / rw,relatime - overlay overlay rw,lowerdir=/x\n"
              "22 1 0:20 / /sys rw - sysfs sysfs rw\n"
              "23 1 0:21 / /run/user/1000 rw - tmpfs tmpfs rw\n"
              "24 1 8:1 /etc/hostname /etc/hostname rw - ext4 /dev/sda1 rw\n"
              "25 1 8:17 / " + root + "/media/usb rw - vfat /dev/sdb1 rw\n"
              "26 1 11:0 / " + root + "/media/cd ro - iso9660 /dev/sr0 ro\n"
              "27 1 0:40 / " + root + "/net/share rw - nfs4 server:/export rw\n"
              "28 1 0:41 / " + root + "/ram rw - tmpfs tmpfs rw\n"
              "29 1 7:3 / /snap/core/1 ro - squashfs /dev/loop3 ro\n");
    env.home = home;
    env.configHome = home + "/.config";
    env.dataHome = home + "/.local/share";
    env.mountInfo = root + "/mountinfo";
    env.sysRoot = root + "/sys";
    env.byLabel = root + "/by-label";
    win::shell::SetEnvironment(env);
  }
  ~Tree() {
    win::shell::ResetEnvironment();
    std::error_code ec;
    std::filesystem::permissions(root, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(root, ec);
  }
  Tree(const Tree&) = delete;
  Tree& operator=(const Tree&) = delete;

  std::string root, home;
  win::shell::Environment env;
};

}  // namespace shelltest
