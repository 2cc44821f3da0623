// The .nbs scene file: a tag byte and a fixed record per object; loading validates everything first.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

class SceneList;
class SceneObject;

class SceneFile {
public:
    // What the user reads on standard output when a load or a save fails.
    static constexpr const char* LoadFailedMessage = "Bad input file, please try again.";
    static constexpr const char* SaveFailedMessage = "Could not open the file to save. Please try again.";

    // Tags: the ObjectKind of the class, except that an extrusion is stored as a patch.
    static constexpr char CurveTag = '1';
    static constexpr char RevolutionTag = '2';
    static constexpr char PatchTag = '3';

    // Fixed record sizes after the tag; a curve record is followed by its control points.
    static constexpr std::size_t CurveRecordSize = 40;
    static constexpr std::size_t ControlPointSize = 56;
    static constexpr std::size_t RevolutionRecordSize = 60;
    static constexpr std::size_t PatchRecordSize = 48;

    // Why the last operation failed; empty after a success. The offset is that of the bad value
    // in the file and the entry is counted from 1; -1 when they do not apply.
    std::string error;
    long long errorOffset = -1;
    int errorEntry = -1;
    // What a successful read repaired, one line per entry, for the caller to pass on to the user.
    std::vector<std::string> notices;

    // The tag an object is stored under; 0 for an object of a class the file cannot hold.
    static char tagOf(const SceneObject* object);

    // Tag byte, then the object's own record, for every node in list order. Fails for an object
    // of a class the file cannot hold.
    bool write(std::ostream& out, const SceneList& list);
    bool serialise(const SceneList& list, std::string& bytes);

    // Checks every entry and every link of a whole file without building anything.
    bool validate(std::string_view bytes);
    // Validates, then builds the objects, resolves their links and marks every surface for
    // rebuilding. Only on success is scene replaced; on failure it is left as it was. A curve
    // naming a surface that does not hold it loads released, with a notice.
    bool read(std::string_view bytes, SceneList& scene);

    // Reads only regular files that fit in memory; errors and notices name the path.
    bool load(const char* path, SceneList& scene);
    // Writes a temporary file beside the target, flushes it to disk and renames it over the
    // target, so a failed save leaves the old file whole. Writes through symbolic links, keeps
    // owner, group and permissions, and refuses a file without write permission for its owner.
    bool save(const char* path, const SceneList& list);

private:
    bool build(std::string_view bytes, SceneList& scene);
    bool fail(std::string message);
};
