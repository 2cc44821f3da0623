// The scene's surfaces as binary STL: the triangles of their shaded tessellation.
#pragma once

#include <iosfwd>

class SceneList;

// STL holds triangles only: curves are left out, and so are surfaces that give no mesh (see
// meshRefusal). Each facet's normal is that of its corners' winding (zero for a degenerate one);
// coordinates are single precision as the format has them. The header says millimetres. The
// triangle count is written last, so the stream must be able to seek back (a file, a string
// stream). Returns the number of triangles.
long long writeStl(const SceneList& scene, std::ostream& out);
