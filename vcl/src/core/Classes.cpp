#include "vcl/Classes.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vcl {

TComponent::TComponent(TComponent *Owner) : owner_(Owner)
{
    if (owner_ != nullptr)
        owner_->components_.push_back(this);
}

TComponent::~TComponent()
{
    DestroyComponents();
    if (owner_ != nullptr)
        owner_->Remove(this);
}

void TComponent::DestroyComponents()
{
    destroying_ = true;
    while (!components_.empty()) {
        TComponent *last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        delete last;
    }
    destroying_ = false;
}

void TComponent::Remove(TComponent *component)
{
    if (destroying_)
        return;
    components_.erase(std::remove(components_.begin(), components_.end(), component),
                      components_.end());
}

TClassInfo::TClassInfo(const char *className, std::vector<TPublishedEntry> entries)
    : className_(className), entries_(std::move(entries))
{
    for (std::size_t i = 0; i < entries_.size(); ++i)
        for (std::size_t j = i + 1; j < entries_.size(); ++j)
            if (std::strcmp(entries_[i].name, entries_[j].name) == 0)
                throw std::logic_error(std::string("published name twice in ") + className +
                                       ": " + entries_[i].name);
}

const TPublishedEntry *TClassInfo::Find(const String &name) const
{
    for (const auto &entry : entries_)
        if (name == entry.name)
            return &entry;
    return nullptr;
}

} // namespace vcl
