#pragma once
// The files of an install on their way into ~/.sword: the hidden staging library a module comes
// into first, and the moves out of it. Links met on the way are removed, never followed.

#include <string>
#include <vector>

namespace tolvane::swordinstall {

// Staging folders ".tolvane-install-<pid>" in `library` of runs that are gone.
void removeStaleStaging(const std::string& library);

// Empties `folder` (creating it when missing).
void empty(const std::string& folder);

// Moves every file under `from` to the same place under `to`, noting each in `moved`; false
// at the first failure.
bool moveTree(const std::string& from, const std::string& to, std::vector<std::string>& moved);

// After a failed copy: whether the folder has no room left.
bool diskFull(const std::string& folder);

// Copies the .conf files of `from` that hold the module's section into `to`. A file that
// describes other modules too is not copied (they would come into ~/.sword unchecked, and
// removing one of them deletes its folder): Shared, with its name in `shared`.
enum class ConfCopy { Copied, Failed, Shared };
ConfCopy copyConf(const std::string& from, const std::string& to, const std::string& module,
                  std::string& shared);

} // namespace tolvane::swordinstall
