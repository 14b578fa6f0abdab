// Objects, components, events, properties, and the table through which a
// form class publishes its members and handlers to its form description.
#pragma once

#include "vcl/SysUtils.h"

#include <functional>
#include <memory>
#include <vector>

namespace vcl {

class TObject {
public:
    TObject() = default;
    TObject(const TObject &) = delete;
    TObject &operator=(const TObject &) = delete;
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject *Sender)>;

// A named property on an object: reads call the getter, assignments the
// setter, so `Label1->Caption = "..."` behaves like a property assignment.
template <class Owner, class T>
class TProperty {
public:
    using Getter = T (Owner::*)() const;
    using Setter = void (Owner::*)(const T &);

    TProperty(Owner *owner, Getter getter, Setter setter)
        : owner_(owner), getter_(getter), setter_(setter)
    {
    }
    TProperty(const TProperty &) = delete;

    operator T() const { return (owner_->*getter_)(); }
    T operator()() const { return (owner_->*getter_)(); }
    TProperty &operator=(const T &value)
    {
        (owner_->*setter_)(value);
        return *this;
    }
    TProperty &operator=(const TProperty &other) { return *this = other(); }

private:
    Owner *owner_;
    Getter getter_;
    Setter setter_;
};

template <class Owner, class T>
class TReadOnlyProperty {
public:
    using Getter = T (Owner::*)() const;

    TReadOnlyProperty(const Owner *owner, Getter getter) : owner_(owner), getter_(getter) {}
    TReadOnlyProperty(const TReadOnlyProperty &) = delete;
    TReadOnlyProperty &operator=(const TReadOnlyProperty &) = delete;

    operator T() const { return (owner_->*getter_)(); }
    T operator()() const { return (owner_->*getter_)(); }

private:
    const Owner *owner_;
    Getter getter_;
};

// A component has a name and an owner; the owner destroys what it owns, in
// reverse order of creation.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent *Owner);
    ~TComponent() override;

    const String &GetName() const { return name_; }
    void SetName(const String &name) { name_ = name; }
    TComponent *GetOwner() const { return owner_; }
    const std::vector<TComponent *> &Components() const { return components_; }

    // The class name a form description uses for this class ("TButton").
    virtual const char *ClassName() const = 0;

    // Destroys every owned component now (the application's end of run).
    void DestroyComponents();

    // Called once all properties of a form description have been read.
    virtual void Loaded() {}

private:
    void Remove(TComponent *component);

    String name_;
    TComponent *owner_;
    std::vector<TComponent *> components_;
    bool destroying_ = false;
};

class TForm;

// One published name of a form class: a member that holds a component, or a
// handler with the TNotifyEvent signature.
struct TPublishedEntry {
    enum class Kind { Member, Handler };

    const char *name;
    Kind kind;
    // Member: stores `component` in the form's member when it is of the
    // member's class; false when it is not.
    std::function<bool(TForm &form, TComponent *component)> assign;
    // Member: whether the member already holds a component.
    std::function<bool(const TForm &form)> isAssigned;
    // Handler: the handler bound to `form`.
    std::function<TNotifyEvent(TForm &form)> bind;
};

// The checked table of a form class: its name and published entries. Every
// name is unique; the reader refuses any name that is not in it.
class TClassInfo {
public:
    TClassInfo(const char *className, std::vector<TPublishedEntry> entries);

    const char *ClassName() const { return className_; }
    const TPublishedEntry *Find(const String &name) const;
    const std::vector<TPublishedEntry> &Entries() const { return entries_; }

private:
    const char *className_;
    std::vector<TPublishedEntry> entries_;
};

template <class Form, class Component>
TPublishedEntry Publish(const char *name, Component *Form::*member)
{
    return {name, TPublishedEntry::Kind::Member,
            [member](TForm &form, TComponent *component) {
                auto *typed = dynamic_cast<Component *>(component);
                if (typed == nullptr)
                    return false;
                static_cast<Form &>(form).*member = typed;
                return true;
            },
            [member](const TForm &form) {
                return static_cast<const Form &>(form).*member != nullptr;
            },
            {}};
}

template <class Form>
TPublishedEntry Publish(const char *name, void (Form::*handler)(TObject *))
{
    return {name, TPublishedEntry::Kind::Handler, {}, {}, [handler](TForm &form) -> TNotifyEvent {
                auto *typed = &static_cast<Form &>(form);
                return [typed, handler](TObject *sender) { (typed->*handler)(sender); };
            }};
}

// Each form class specialises this with its table.
template <class Form>
const TClassInfo &ClassInfoOf();

} // namespace vcl
