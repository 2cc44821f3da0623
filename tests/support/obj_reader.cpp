// Reading OBJ text back exactly: numbers with strtod, corners as v, v/vt, v//vn or v/vt/vn.
#include "obj_reader.h"

#include <charconv>
#include <cstdlib>
#include <istream>
#include <sstream>

namespace {

// A whole index, relative (negative) ones counted back from the current end of their list.
bool parseIndex(const std::string& text, long long count, long long& index) {
    if (text.empty())
        return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), index);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || index == 0)
        return false;
    if (index < 0)
        index = count + index + 1;
    return true;
}

bool parseCorner(const std::string& word, const ObjFile& file, ObjCorner& corner) {
    const std::size_t first = word.find('/');
    const std::size_t second = first == std::string::npos ? std::string::npos : word.find('/', first + 1);
    if (!parseIndex(word.substr(0, first), static_cast<long long>(file.vertices.size()), corner.vertex))
        return false;
    if (first == std::string::npos)
        return true;
    const std::string texture =
        word.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    // Texture coordinates are never written; an index to one is still read as such.
    if (!texture.empty() && !parseIndex(texture, 0, corner.texture))
        return false;
    if (second == std::string::npos)
        return !texture.empty();
    return parseIndex(word.substr(second + 1), static_cast<long long>(file.normals.size()), corner.normal);
}

bool parseTriple(std::istringstream& words, std::array<double, 3>& value) {
    for (double& coordinate : value) {
        std::string word;
        if (!(words >> word))
            return false;
        char* end = nullptr;
        coordinate = std::strtod(word.c_str(), &end);
        if (end != word.c_str() + word.size())
            return false;
    }
    return true;
}

} // namespace

ObjFile readObj(std::istream& in) {
    ObjFile file;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword) || keyword[0] == '#')
            continue;
        bool ok = true;
        if (keyword == "o") {
            std::string name;
            ok = static_cast<bool>(words >> name);
            file.objects.push_back(name);
        } else if (keyword == "v" || keyword == "vn") {
            std::array<double, 3> value{};
            ok = parseTriple(words, value);
            (keyword == "v" ? file.vertices : file.normals).push_back(value);
        } else if (keyword == "f" || keyword == "l" || keyword == "p") {
            ObjElement element;
            element.keyword = keyword[0];
            element.object = static_cast<int>(file.objects.size()) - 1;
            for (std::string word; ok && words >> word;) {
                ObjCorner corner;
                ok = parseCorner(word, file, corner);
                element.corners.push_back(corner);
            }
            const std::size_t least = keyword == "f" ? 3 : keyword == "l" ? 2 : 1;
            ok = ok && element.corners.size() >= least;
            file.elements.push_back(element);
        } else {
            ok = false;
        }
        std::string rest;
        if (ok && keyword != "f" && keyword != "l" && keyword != "p" && words >> rest)
            ok = false;
        if (!ok) {
            file.error = "line " + std::to_string(number) + ": " + line;
            return file;
        }
    }
    return file;
}
