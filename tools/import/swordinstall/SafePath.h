#pragma once
// Where a repository may make tolvane-swordinstall write. Every path a repository chooses (a
// module's DataPath, a member of its mods.d.tar.gz, a name in its folder listing) is checked
// here before anything is written: after normalisation it must stay inside the folder it
// belongs to, and no link already on disk on the way may lead it out.

#include <optional>
#include <string>

namespace tolvane::swordinstall {

// `path` with "." and empty parts dropped and "a/../" folded; nothing when it is absolute or
// climbs above its start. "./modules/x/" -> "modules/x"; "" -> "".
std::optional<std::string> cleanRelative(const std::string& path);

// Whether `path` is `folder` or lies inside it, both as written (normalised) and as the links
// already on disk resolve them.
bool staysInside(const std::string& folder, const std::string& path);

// `text` fit for a one-line message: control characters shown as '?', at most 120 characters.
std::string shown(const std::string& text);

} // namespace tolvane::swordinstall
