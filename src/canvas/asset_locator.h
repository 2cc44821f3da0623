// Finds a data file (font texture, icons): working directory, then beside the executable, then installed.
#pragma once

#include <string>

class AssetLocator {
public:
    // Searched in this order; an empty folder is skipped. workingDir empty means the process's own.
    std::string workingDir;
    std::string executableDataDir;  // <executable's folder>/data: the build tree
    std::string executableShareDir; // <executable's folder>/../share/knotwork: an install, moved or not
    std::string installDataDir;     // share/knotwork under the prefix the program was built for

    // Fills the folders from the running program (needs a QCoreApplication for the executable's folder).
    AssetLocator();

    // The path to use for a relative name like "data.tga" or "icons/rotate.jpg": the first folder that
    // holds it, or the name unchanged when none does (loading then fails as it would have anyway).
    std::string locate(const std::string& name) const;

    // locate() with the running program's folders.
    static std::string find(const std::string& name);
};
