#pragma once

#include <filesystem>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace qbv::test {

// Makes a folder one the program must not trust: writable by others or its group, given to uid 65534, or
// moved aside with a symbolic link to it in its place. False when this system or user cannot (POSIX only;
// only root gives a folder away): the test is skipped then.
enum class Spoil { OthersMayWrite, GroupMayWrite, ForeignOwner, SymbolicLink };
inline bool spoilFolder([[maybe_unused]] const std::filesystem::path& folder, [[maybe_unused]] Spoil how) {
#ifndef _WIN32
    namespace fs = std::filesystem;
    if (how == Spoil::ForeignOwner)
        return geteuid() == 0 && chown(folder.c_str(), 65534, 65534) == 0;
    if (how == Spoil::SymbolicLink) {
        fs::rename(folder, folder.string() + ".real");
        fs::create_directory_symlink(folder.string() + ".real", folder);
    } else {
        fs::permissions(folder,
                        how == Spoil::GroupMayWrite ? fs::perms::group_write : fs::perms::others_write,
                        fs::perm_options::add);
    }
    return true;
#endif
    return false;
}

} // namespace qbv::test
