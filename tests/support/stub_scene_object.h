// A scene object with no state of its own, for tests of the scene list and the canvas's draw loop.
#pragma once

#include "geometry/scene_object.h"

#include <memory>

class StubSceneObject : public SceneObject {
public:
    // destroyed, when given, counts the objects deleted.
    explicit StubSceneObject(int* destroyed = nullptr) : destroyed_(destroyed) {}
    ~StubSceneObject() override {
        if (destroyed_)
            ++*destroyed_;
    }
    void draw(bool, bool) override {}
    bool hitTest(double, double, double, int) override { return false; }
    void write(std::ostream&, const ObjectPositions&) const override {}
    void read(std::istream&) override {}
    void resolveLinks(const ObjectPositions&) override {}
    std::unique_ptr<ObjectState> saveState() const override { return std::make_unique<NoState>(); }
    void restoreState(const ObjectState&) override {}

private:
    struct NoState : ObjectState {
        std::size_t bytes() const override { return sizeof *this; }
        bool sameAs(const ObjectState& other) const override {
            return dynamic_cast<const NoState*>(&other) != nullptr;
        }
    };
    int* destroyed_;
};
