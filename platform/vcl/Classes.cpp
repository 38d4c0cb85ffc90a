#include "Classes.h"

#include "vcl/SysUtils.h"

#include <algorithm>
#include <strings.h>

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
    if (FOwner != nullptr)
        FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
    // Each owned component removes itself from FComponents while it is destroyed.
    while (!FComponents.empty())
        delete FComponents.back();
    if (FOwner != nullptr)
        FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw Exception("Listenindex überschreitet das Maximum (" + std::to_string(Index) + ")");
    return FComponents[static_cast<std::size_t>(Index)];
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty())
        return nullptr;
    for (TComponent* Component : FComponents)
        if (strcasecmp(Component->FName.c_str(), AName.c_str()) == 0)
            return Component;
    return nullptr;
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    auto Found = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (Found != FComponents.end())
        FComponents.erase(Found);
}
