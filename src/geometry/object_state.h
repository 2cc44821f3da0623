// A saved copy of one scene object's state, from which an undo step puts the object back.
#pragma once

#include <cstddef>

// Each class of scene object saves its own derived state: what a scene file stores, its links to
// other objects (as pointers: objects outlive their removal while a step can bring them back) and
// what editing relies on. Equality is bitwise, so NaN equals itself and an unchanged object is
// never taken for a change.
class ObjectState {
public:
    virtual ~ObjectState() = default;
    // Roughly the memory the state holds, for the history's bound.
    virtual std::size_t bytes() const = 0;
    // False for a state of another class.
    virtual bool sameAs(const ObjectState& other) const = 0;
};
