#pragma once
// The ownership tree of the framework: a component is freed with its owner, and freeing a component
// removes it from its owner first. Forms and controls are components; the application object owns the
// windows created for the whole run.

#include "base/Text.h"

#include <vector>

namespace vendora {

class Component {
public:
    explicit Component(Component* owner);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    Component* Owner() const { return owner_; }
    const AnsiString& Name() const { return name_; }
    void SetName(const AnsiString& name) { name_ = name; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    Component* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }
    // The owned component of that name (exact comparison), or null.
    Component* FindComponent(const AnsiString& name) const;

    // While a form description is read into a component its property changes are held back; Loaded ends
    // that state and is where a component builds what depends on all of its properties.
    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    virtual void Loaded() { loading_ = false; }

    int Tag = 0;

protected:
    // Frees the owned components, the last one first. Containers call it before their own members go.
    void DestroyComponents();

private:
    Component* owner_ = nullptr;
    AnsiString name_;
    std::vector<Component*> components_;
    bool loading_ = false;
};

} // namespace vendora
