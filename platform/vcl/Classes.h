// The component base of the program: objects with an owner, a name and the components they
// own. An owner destroys what it owns when it is destroyed, the last created first.
// Streaming from form resources and the window side are left to the Qt layer.
#pragma once

#include <string>
#include <vector>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

class TComponent : public TObject {
public:
    // The new component joins its owner's list; an owner of nullptr leaves it to the caller.
    explicit TComponent(TComponent* AOwner);
    // Destroys the owned components, the last created first, then leaves the owner's list.
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& AName) { FName = AName; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    // The owned component of that name, compared without regard to case; nullptr if none.
    TComponent* FindComponent(const std::string& AName) const;

private:
    void RemoveComponent(TComponent* AComponent);

    TComponent* FOwner;
    std::string FName;
    std::vector<TComponent*> FComponents;
};
