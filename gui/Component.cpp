#include "gui/Component.h"

#include <algorithm>

namespace vendora {

Component::Component(Component* owner) : owner_(owner) {
    if (owner_ != nullptr)
        owner_->components_.push_back(this);
}

Component::~Component() {
    DestroyComponents();
    if (owner_ != nullptr) {
        auto& siblings = owner_->components_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

Component* Component::FindComponent(const AnsiString& name) const {
    for (Component* c : components_) {
        if (c->name_ == name)
            return c;
    }
    return nullptr;
}

void Component::DestroyComponents() {
    while (!components_.empty()) {
        Component* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        delete last;
    }
}

} // namespace vendora
