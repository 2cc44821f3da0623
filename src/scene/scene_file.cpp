// Writing scenes, reading them back only after every entry and link has been checked, and a save
// that replaces the old file only once the new one is safely on disk.
#include "scene/scene_file.h"

#include "geometry/nurbs_curve.h"
#include "geometry/scene_object.h"
#include "scene/byte_reader.h"
#include "scene/safe_file_writer.h"
#include "scene/scene_list.h"
#include "surfaces/curve_surface.h"
#include "surfaces/revolution_surface.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <istream>
#include <new>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Only what the link check needs to know about an entry.
struct EntryLinks {
    char tag = 0;
    std::size_t tagOffset = 0;
    std::size_t recordOffset = 0;
    std::size_t recordEnd = 0;
    // A curve: its link and link kind. A surface of revolution: positions[0] is the profile.
    // A patch: the four curve slots.
    std::int32_t linkKind = NurbsCurve::FreeLink;
    std::int32_t positions[4] = {-1, -1, -1, -1};
    std::size_t positionOffsets[4] = {0, 0, 0, 0};
    // A curve whose surface does not hold it: it loads as a released curve.
    bool released = false;
};

const char* kindName(char tag) {
    switch (tag) {
    case SceneFile::CurveTag:
        return "curve";
    case SceneFile::RevolutionTag:
        return "surface of revolution";
    case SceneFile::PatchTag:
        return "patch";
    }
    return "entry";
}

std::string describeByte(unsigned char c) {
    char text[32];
    if (c >= 0x20 && c < 0x7f)
        std::snprintf(text, sizeof text, "0x%02X ('%c')", c, c);
    else
        std::snprintf(text, sizeof text, "0x%02X", c);
    return text;
}

// Reads the fields of one record and checks each against the range the program itself can
// produce. The first failure is kept with the offset of the offending value.
class RecordParser {
public:
    ByteReader& in;
    std::string problem;
    std::size_t problemOffset = 0;

    explicit RecordParser(ByteReader& reader) : in(reader) {}

    bool fail(std::size_t offset, std::string text) {
        problem = std::move(text);
        problemOffset = offset;
        return false;
    }

    bool cutShort(const char* field, std::size_t needed) {
        return fail(in.position, "the file ends inside the record: " + std::string(field) + " needs " +
                                     std::to_string(needed) + " bytes, " + std::to_string(in.remaining()) +
                                     " left");
    }

    bool int32(const char* field, std::int32_t& value, std::size_t* offset = nullptr) {
        if (offset)
            *offset = in.position;
        return in.readInt32(value) || cutShort(field, 4);
    }

    bool int32InRange(const char* field, int low, int high, std::int32_t& value) {
        const std::size_t at = in.position;
        if (!int32(field, value))
            return false;
        if (value < low || value > high)
            return fail(at, std::string(field) + " is " + std::to_string(value) + ", outside " +
                                std::to_string(low) + ".." + std::to_string(high));
        return true;
    }

    bool boolean(const char* field) {
        const std::size_t at = in.position;
        unsigned char value = 0;
        if (!in.readByte(value))
            return cutShort(field, 1);
        if (value > 1)
            return fail(at, std::string(field) + " is the byte " + describeByte(value) + ", not 0 or 1");
        return true;
    }

    bool padding(std::size_t count) { return in.skip(count) || cutShort("padding", count); }

    bool finite32(const char* field, float low, float high) {
        const std::size_t at = in.position;
        float value = 0.0f;
        if (!in.readFloat32(value))
            return cutShort(field, 4);
        if (!std::isfinite(value) || value < low || value > high)
            return fail(at, std::string(field) + " is " + std::to_string(value) + ", outside " +
                                std::to_string(low) + ".." + std::to_string(high));
        return true;
    }

    bool colour() {
        return finite32("color red", 0.0f, 1.0f) && finite32("color green", 0.0f, 1.0f) &&
               finite32("color blue", 0.0f, 1.0f);
    }

    bool displayFlags() {
        return boolean("showVertices") && boolean("showEdge") && boolean("showCurve") && boolean("spareFlag");
    }

    bool controlPoint(std::int32_t index) {
        static const char* const names[7] = {"x", "y", "z", "nx", "ny", "nz", "weight"};
        for (int i = 0; i < 7; ++i) {
            const std::size_t at = in.position;
            double value = 0.0;
            if (!in.readFloat64(value))
                return cutShort(names[i], 8);
            if (!std::isfinite(value))
                return fail(at, "control point " + std::to_string(index) + " " + names[i] +
                                    " is not a finite number");
            if (i == 6 && value < 0.0)
                return fail(at, "control point " + std::to_string(index) + " weight is negative (" +
                                    std::to_string(value) + ")");
        }
        return true;
    }

    bool curve(EntryLinks& entry) {
        std::int32_t count = 0, value = 0;
        const std::size_t countAt = in.position;
        if (!int32("n", count))
            return false;
        if (!int32InRange("order", 1, 99, value) || !int32InRange("paramInc", 1, 1000, value) ||
            !int32InRange("curveMode", 0, 2, value) ||
            !int32("link position", entry.positions[0], &entry.positionOffsets[0]) ||
            !int32InRange("linkKind", 1, 5, entry.linkKind) || !displayFlags() || !colour())
            return false;
        if (count < 0)
            return fail(countAt, "n is " + std::to_string(count) + ", a negative number of control points");
        // 64 bits: n × 56 cannot overflow, whatever n says.
        const unsigned long long needed =
            static_cast<unsigned long long>(count) * SceneFile::ControlPointSize;
        if (needed > in.remaining())
            return fail(countAt, "n is " + std::to_string(count) + ": the control points need " +
                                     std::to_string(needed) + " bytes, " + std::to_string(in.remaining()) +
                                     " left");
        for (std::int32_t i = 0; i < count; ++i)
            if (!controlPoint(i))
                return false;
        return true;
    }

    bool revolution(EntryLinks& entry) {
        std::int32_t value = 0;
        return int32("profile position", entry.positions[0], &entry.positionOffsets[0]) &&
               int32InRange("aor", 0, 2, value) && int32InRange("refa", 0, 2, value) &&
               finite32("degrees", 1.0f, 360.0f) && int32InRange("uParamInc", 1, 1000, value) &&
               int32InRange("vParamInc", 1, 1000, value) && boolean("shading") && padding(3) &&
               int32InRange("revPoint", 0, 3, value) && int32InRange("axisDistance", 0, 1000, value) &&
               int32InRange("axisRotPoint", 0, 1, value) && displayFlags() && colour() &&
               boolean("gradient") && padding(3);
    }

    bool patch(EntryLinks& entry) {
        static const char* const slots[4] = {"curve C0 position", "curve C1 position", "curve C2 position",
                                             "curve C3 position"};
        std::int32_t value = 0;
        for (int i = 0; i < 4; ++i)
            if (!int32(slots[i], entry.positions[i], &entry.positionOffsets[i]))
                return false;
        return int32InRange("uParamInc", 1, 1000, value) && int32InRange("vParamInc", 1, 1000, value) &&
               boolean("shading") && displayFlags() && padding(3) && colour() && boolean("gradient") &&
               padding(3);
    }
};

// A read-only stream over one record, so each class reads its own bytes and nothing beyond them.
class RecordBuffer : public std::streambuf {
public:
    RecordBuffer(const char* begin, std::size_t size) {
        char* start = const_cast<char*>(begin); // never written: there is no put area
        setg(start, start, start + size);
    }
    std::size_t consumed() const { return static_cast<std::size_t>(gptr() - eback()); }
};

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

unsigned long long physicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return ULLONG_MAX; // unknown: left to the allocation to fail
    return static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize);
}

std::string outOfMemory(std::size_t bytes) {
    return "not enough memory to load a scene of " + std::to_string(bytes) + " bytes";
}

} // namespace

char SceneFile::tagOf(const SceneObject* object) {
    if (dynamic_cast<const NurbsCurve*>(object))
        return CurveTag;
    if (dynamic_cast<const RevolutionSurface*>(object))
        return RevolutionTag;
    if (dynamic_cast<const CurveSurface*>(object))
        return PatchTag;
    return 0;
}

bool SceneFile::fail(std::string message) {
    error = std::move(message);
    return false;
}

bool SceneFile::write(std::ostream& out, const SceneList& list) {
    error.clear();
    errorOffset = -1;
    errorEntry = -1;
    int entry = 1;
    for (const SceneNode* node = list.first; node; node = node->next, ++entry) {
        const char tag = tagOf(node->object);
        if (!tag) {
            errorEntry = entry;
            return fail("object " + std::to_string(entry) + " of the scene has no scene-file form");
        }
        out.put(tag);
        node->object->write(out, list);
    }
    if (!out)
        return fail("the output stream failed");
    return true;
}

bool SceneFile::serialise(const SceneList& list, std::string& bytes) {
    std::ostringstream out(std::ios::binary);
    if (!write(out, list))
        return false;
    bytes = std::move(out).str();
    return true;
}

namespace {

// Parses every entry and checks the links both ways; fills entries on success.
struct Validation {
    std::vector<EntryLinks> entries;
    std::vector<std::string> notices;
    std::string problem;
    std::size_t offset = 0;
    int entryNumber = -1;

    bool fail(int index, std::size_t at, const std::string& text) {
        entryNumber = index + 1;
        offset = at;
        const char tag = entries[index].tag;
        const bool known =
            tag == SceneFile::CurveTag || tag == SceneFile::RevolutionTag || tag == SceneFile::PatchTag;
        problem = "entry " + std::to_string(index + 1) +
                  (known ? std::string(" (") + kindName(tag) + ")" : "") + " at byte " + std::to_string(at) +
                  ": " + text;
        return false;
    }

    bool parse(std::string_view bytes) {
        ByteReader in(bytes.data(), bytes.size());
        for (;;) {
            in.skipWhiteSpace();
            if (in.atEnd())
                return true;
            EntryLinks entry;
            entry.tagOffset = in.position;
            unsigned char tag = 0;
            in.readByte(tag);
            entry.tag = static_cast<char>(tag);
            entry.recordOffset = in.position;
            entries.push_back(entry);
            const int index = static_cast<int>(entries.size()) - 1;
            if (entries.size() > static_cast<std::size_t>(INT_MAX))
                return fail(index, entry.tagOffset, "too many entries");
            RecordParser parser(in);
            bool ok = false;
            switch (entry.tag) {
            case SceneFile::CurveTag:
                ok = parser.curve(entries.back());
                break;
            case SceneFile::RevolutionTag:
                ok = parser.revolution(entries.back());
                break;
            case SceneFile::PatchTag:
                ok = parser.patch(entries.back());
                break;
            default:
                return fail(index, entry.tagOffset, "unknown tag " + describeByte(tag));
            }
            if (!ok)
                return fail(index, parser.problemOffset, parser.problem);
            entries.back().recordEnd = in.position;
        }
    }

    // The position names an entry of the wanted class, or it is damage.
    bool names(int index, int slot, char wanted, const char* field) {
        const std::int32_t position = entries[index].positions[slot];
        const std::size_t at = entries[index].positionOffsets[slot];
        if (position < 0 || static_cast<std::size_t>(position) >= entries.size())
            return fail(index, at,
                        std::string(field) + " " + std::to_string(position) +
                            " names no object (the file has " + std::to_string(entries.size()) + ")");
        if (entries[position].tag != wanted)
            return fail(index, at,
                        std::string(field) + " " + std::to_string(position) + " names a " +
                            kindName(entries[position].tag) + ", not a " + kindName(wanted));
        return true;
    }

    bool patchHolds(const EntryLinks& patch, std::int32_t curve) const {
        for (std::int32_t position : patch.positions)
            if (position == curve)
                return true;
        return false;
    }

    // A link only the curve keeps is no damage: a profile replaced without releasing the old one, a
    // curve picked for a patch that did not take it, or either after its surface was deleted (written as
    // -1). Such a curve is as good as released, and loads as one.
    void release(int index, const std::string& why) {
        EntryLinks& curve = entries[index];
        curve.released = true;
        notices.push_back("entry " + std::to_string(index + 1) + " (curve) at byte " +
                          std::to_string(curve.positionOffsets[0]) + ": " + why +
                          "; loaded as a released curve");
    }

    bool checkCurve(int index) {
        const EntryLinks& curve = entries[index];
        // Free and released curves keep no link, whatever position they stored.
        if (curve.linkKind == NurbsCurve::FreeLink || curve.linkKind == NurbsCurve::ReleasedLink)
            return true;
        if (curve.positions[0] == -1) {
            release(index,
                    "linkKind " + std::to_string(curve.linkKind) + " names no surface (link position -1)");
            return true;
        }
        const bool profile = curve.linkKind == NurbsCurve::RevolutionLink;
        if (!names(index, 0, profile ? SceneFile::RevolutionTag : SceneFile::PatchTag, "link position"))
            return false;
        const EntryLinks& surface = entries[curve.positions[0]];
        const bool returned = profile ? surface.positions[0] == index : patchHolds(surface, index);
        if (!returned)
            release(index, "link position " + std::to_string(curve.positions[0]) + " names a " +
                               kindName(surface.tag) + " that does not hold this curve");
        return true;
    }

    bool checkRevolution(int index) {
        const EntryLinks& surface = entries[index];
        if (surface.positions[0] == -1)
            return true;
        if (!names(index, 0, SceneFile::CurveTag, "profile position"))
            return false;
        const EntryLinks& curve = entries[surface.positions[0]];
        if (curve.linkKind != NurbsCurve::RevolutionLink || curve.positions[0] != index)
            return fail(index, surface.positionOffsets[0],
                        "profile position " + std::to_string(surface.positions[0]) +
                            " names a curve that is not linked to this surface as its profile");
        return true;
    }

    bool checkPatch(int index) {
        static const char* const slots[4] = {"curve C0 position", "curve C1 position", "curve C2 position",
                                             "curve C3 position"};
        const EntryLinks& patch = entries[index];
        bool gap = false;
        for (int slot = 0; slot < 4; ++slot) {
            const std::int32_t position = patch.positions[slot];
            if (position == -1) {
                gap = true;
                continue;
            }
            // A patch holds its curves contiguously from C0; a curve after an empty slot
            // could only come from damage.
            if (gap)
                return fail(index, patch.positionOffsets[slot],
                            std::string(slots[slot]) + " " + std::to_string(position) +
                                " follows an empty slot");
            if (!names(index, slot, SceneFile::CurveTag, slots[slot]))
                return false;
            for (int earlier = 0; earlier < slot; ++earlier)
                if (patch.positions[earlier] == position)
                    return fail(index, patch.positionOffsets[slot],
                                std::string(slots[slot]) + " " + std::to_string(position) +
                                    " repeats the curve of C" + std::to_string(earlier));
            const EntryLinks& curve = entries[position];
            const bool linked =
                curve.linkKind == NurbsCurve::CoonsLink || curve.linkKind == NurbsCurve::ExtrusionLink;
            if (!linked || curve.positions[0] != index)
                return fail(index, patch.positionOffsets[slot],
                            std::string(slots[slot]) + " " + std::to_string(position) +
                                " names a curve that is not linked to this patch");
        }
        return true;
    }

    bool run(std::string_view bytes) {
        if (!parse(bytes))
            return false;
        for (int index = 0; index < static_cast<int>(entries.size()); ++index) {
            bool ok = true;
            switch (entries[index].tag) {
            case SceneFile::CurveTag:
                ok = checkCurve(index);
                break;
            case SceneFile::RevolutionTag:
                ok = checkRevolution(index);
                break;
            case SceneFile::PatchTag:
                ok = checkPatch(index);
                break;
            }
            if (!ok)
                return false;
        }
        return true;
    }
};

} // namespace

bool SceneFile::validate(std::string_view bytes) {
    notices.clear();
    try {
        Validation validation;
        const bool ok = validation.run(bytes);
        error = validation.problem;
        errorOffset = ok ? -1 : static_cast<long long>(validation.offset);
        errorEntry = ok ? -1 : validation.entryNumber;
        if (ok)
            notices = std::move(validation.notices);
        return ok;
    } catch (const std::bad_alloc&) {
        errorOffset = -1;
        errorEntry = -1;
        return fail(outOfMemory(bytes.size()));
    }
}

bool SceneFile::read(std::string_view bytes, SceneList& scene) {
    notices.clear();
    // Objects, points and the entry table together take a few times the file's size.
    try {
        return build(bytes, scene);
    } catch (const std::bad_alloc&) {
        notices.clear();
        errorOffset = -1;
        errorEntry = -1;
        return fail(outOfMemory(bytes.size()));
    }
}

bool SceneFile::build(std::string_view bytes, SceneList& scene) {
    Validation validation;
    if (!validation.run(bytes)) {
        error = validation.problem;
        errorOffset = static_cast<long long>(validation.offset);
        errorEntry = validation.entryNumber;
        return false;
    }
    error.clear();
    errorOffset = -1;
    errorEntry = -1;

    // Everything is built into a list of its own; the caller's scene changes only at the end.
    SceneList loaded;
    for (std::size_t i = 0; i < validation.entries.size(); ++i) {
        const EntryLinks& entry = validation.entries[i];
        SceneObject* object = nullptr;
        if (entry.tag == CurveTag)
            object = new NurbsCurve();
        else if (entry.tag == RevolutionTag)
            object = new RevolutionSurface();
        else
            object = new CurveSurface();
        loaded.append(object, entry.tag - '0');

        const std::size_t size = entry.recordEnd - entry.recordOffset;
        RecordBuffer buffer(bytes.data() + entry.recordOffset, size);
        std::istream in(&buffer);
        object->read(in);
        if (entry.released)
            static_cast<NurbsCurve*>(object)->linkKind = NurbsCurve::ReleasedLink;
        // The class reader and the checks above must agree on where the record ends.
        if (in.fail() || buffer.consumed() != size) {
            errorEntry = static_cast<int>(i) + 1;
            errorOffset = static_cast<long long>(entry.recordOffset);
            return fail("entry " + std::to_string(i + 1) + " (" + kindName(entry.tag) + ") at byte " +
                        std::to_string(entry.recordOffset) + ": its reader took " +
                        std::to_string(buffer.consumed()) + " of " + std::to_string(size) + " bytes");
        }
    }
    for (SceneNode* node = loaded.first; node; node = node->next)
        node->object->resolveLinks(loaded);
    for (SceneNode* node = loaded.first; node; node = node->next) {
        if (node->kind == ObjectKind::Coons)
            static_cast<CurveSurface*>(node->object)->rebuild();
        else if (node->kind == ObjectKind::Revolution)
            static_cast<RevolutionSurface*>(node->object)->invalidate();
    }
    scene = std::move(loaded);
    notices = std::move(validation.notices);
    return true;
}

bool SceneFile::load(const char* path, SceneList& scene) {
    errorOffset = -1;
    errorEntry = -1;
    notices.clear();
    const std::string name = path ? path : "";
    // Looked at before opening: opening a named pipe waits for a writer, and opening a device may act on it.
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0)
        return fail(systemError("cannot open", name));
    if (!S_ISREG(info.st_mode))
        return fail("cannot read " + name + ": not a regular file");
    // Non-blocking as well, in case the name was given to a pipe since.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return fail(systemError("cannot open", name));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail("cannot read " + name + ": not a regular file");
    }
    // A file that cannot fit in memory is refused before anything is reserved for it: asking for that
    // much can only fail, and under the address sanitizer the failure is an abort, not an exception.
    const unsigned long long size = static_cast<unsigned long long>(info.st_size);
    const unsigned long long memory = physicalMemory();
    if (size > memory) {
        ::close(fd);
        return fail("cannot read " + name + ": the file is " + std::to_string(size) +
                    " bytes, more than the " + std::to_string(memory) + " bytes of memory of this machine");
    }
    std::string bytes;
    try {
        // Read straight into the buffer, growing it only if the file grew since fstat.
        bytes.resize(static_cast<std::size_t>(size) + 1);
        std::size_t filled = 0;
        for (;;) {
            if (filled == bytes.size())
                bytes.resize(bytes.size() * 2);
            const ssize_t got = ::read(fd, &bytes[filled], bytes.size() - filled);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                const std::string message = systemError("cannot read", name);
                ::close(fd);
                return fail(message);
            }
            if (got == 0)
                break;
            filled += static_cast<std::size_t>(got);
        }
        bytes.resize(filled);
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return fail("cannot read " + name + ": not enough memory for its " + std::to_string(size) + " bytes");
    }
    ::close(fd);
    if (!read(bytes, scene)) {
        error = name + ": " + error;
        return false;
    }
    for (std::string& notice : notices)
        notice = name + ": " + notice;
    return true;
}

bool SceneFile::save(const char* path, const SceneList& list) {
    errorOffset = -1;
    errorEntry = -1;
    const std::string target = path ? path : "";
    if (target.empty())
        return fail("no file name to save to");

    std::string bytes;
    if (!serialise(list, bytes))
        return false;

    SafeFileWriter writer(target);
    if (!writer.open())
        return fail(writer.error());
    writer.stream().write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!writer.commit())
        return fail(writer.error());
    error.clear();
    return true;
}
