#include "scene/scene_list.h"

#include "geometry/scene_object.h"

#include <utility>

SceneList::~SceneList() {
    clear();
}

SceneList::SceneList(SceneList&& other) noexcept
    : first(std::exchange(other.first, nullptr)), last(std::exchange(other.last, nullptr)) {}

SceneList& SceneList::operator=(SceneList&& other) noexcept {
    if (this != &other) {
        clear();
        first = std::exchange(other.first, nullptr);
        last = std::exchange(other.last, nullptr);
    }
    return *this;
}

void SceneList::append(SceneObject* object, int kind) {
    auto* node = new SceneNode{object, last, nullptr, kind};
    if (last)
        last->next = node;
    else
        first = node;
    last = node;
}

void SceneList::insertAt(int position, SceneObject* object, int kind) {
    SceneNode* after = nullptr; // the node the new one follows; null: at the front
    if (position > 0) {
        after = first;
        for (int i = 1; i < position && after && after->next; ++i)
            after = after->next;
    }
    SceneNode* before = after ? after->next : first;
    auto* node = new SceneNode{object, after, before, kind};
    (after ? after->next : first) = node;
    (before ? before->previous : last) = node;
}

bool SceneList::detach(SceneObject* object) {
    for (SceneNode* node = first; node; node = node->next) {
        if (node->object != object)
            continue;
        (node->previous ? node->previous->next : first) = node->next;
        (node->next ? node->next->previous : last) = node->previous;
        delete node;
        return true;
    }
    return false;
}

void SceneList::remove(SceneObject* object) {
    if (!object)
        return;
    bool found = false;
    for (SceneNode* node = first; node;) {
        SceneNode* next = node->next;
        if (node->object == object) {
            (node->previous ? node->previous->next : first) = node->next;
            (node->next ? node->next->previous : last) = node->previous;
            delete node;
            found = true;
        }
        node = next;
    }
    if (found)
        delete object;
}

void SceneList::clear() {
    for (SceneNode* node = first; node;) {
        SceneNode* next = node->next;
        delete node->object;
        delete node;
        node = next;
    }
    first = last = nullptr;
}

int SceneList::positionOf(const SceneObject* object) const {
    if (!object)
        return -1;
    int position = 0;
    for (const SceneNode* node = first; node; node = node->next, ++position)
        if (node->object == object)
            return position;
    return -1;
}

SceneObject* SceneList::objectAt(int position) const {
    if (position < 0)
        return nullptr;
    for (const SceneNode* node = first; node; node = node->next, --position)
        if (position == 0)
            return node->object;
    return nullptr;
}

int SceneList::kindAt(int position) const {
    if (position < 0)
        return ObjectKind::None;
    for (const SceneNode* node = first; node; node = node->next, --position)
        if (position == 0)
            return node->kind;
    return ObjectKind::None;
}

int SceneList::size() const {
    int n = 0;
    for (const SceneNode* node = first; node; node = node->next)
        ++n;
    return n;
}
