// A small reader of Wavefront OBJ text: objects, vertices, normals, and the faces, lines and points over
// them.
#pragma once

#include <array>
#include <iosfwd>
#include <string>
#include <vector>

struct ObjCorner {
    // 1-based indices as OBJ counts them, relative ones made absolute; 0 where the corner names none.
    long long vertex = 0;
    long long texture = 0;
    long long normal = 0;
};

struct ObjElement {
    char keyword = 'f'; // 'f' face, 'l' line, 'p' point
    int object = -1;    // index into ObjFile::objects, -1 before the first "o"
    std::vector<ObjCorner> corners;
};

struct ObjFile {
    std::vector<std::string> objects;
    std::vector<std::array<double, 3>> vertices;
    std::vector<std::array<double, 3>> normals;
    std::vector<ObjElement> elements;
    // The first line that could not be read, with its number; empty when every line was read.
    std::string error;
};

// Reads what the exporter may write (o, v, vn, f, l, p; comments and blank lines). Indices are not
// checked against the lists: that is for the caller to judge.
ObjFile readObj(std::istream& in);
