#include "common/user_account.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>

namespace tern {

namespace {

std::string groupName(gid_t gid) {
  const group* g = ::getgrgid(gid);
  return g != nullptr ? std::string(g->gr_name) : std::to_string(gid);
}

std::vector<std::string> namesOf(const std::vector<gid_t>& ids) {
  std::vector<std::string> out;
  for (gid_t id : ids) out.push_back(groupName(id));
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

}  // namespace

std::string currentUserName() {
  const passwd* pw = ::getpwuid(::geteuid());
  return pw != nullptr ? std::string(pw->pw_name) : std::to_string(::geteuid());
}

std::vector<std::string> sessionGroupNames() {
  int n = ::getgroups(0, nullptr);
  std::vector<gid_t> ids(static_cast<std::size_t>(std::max(n, 0)));
  if (n > 0) ids.resize(static_cast<std::size_t>(std::max(::getgroups(n, ids.data()), 0)));
  ids.push_back(::getegid());
  return namesOf(ids);
}

std::vector<std::string> accountGroupNames() {
  const passwd* pw = ::getpwuid(::geteuid());
  if (pw == nullptr) return {};
  const std::string name = pw->pw_name;
  const gid_t primary = pw->pw_gid;
  int n = 64;
  std::vector<gid_t> ids(static_cast<std::size_t>(n));
  if (::getgrouplist(name.c_str(), primary, ids.data(), &n) < 0) {
    ids.resize(static_cast<std::size_t>(n));
    if (::getgrouplist(name.c_str(), primary, ids.data(), &n) < 0) return {};
  }
  ids.resize(static_cast<std::size_t>(n));
  return namesOf(ids);
}

}  // namespace tern
