#include "framework/element_class.h"

#include "framework/name_compare.h"

TElementClass::TElementClass(std::string name, const TElementClass* parent, Factory factory,
                             Declarer declare, std::size_t instanceSize)
    : name_(std::move(name)),
      parent_(parent),
      factory_(factory),
      declare_(std::move(declare)),
      instanceSize_(instanceSize) {
  if (parent_) ancestors_ = parent_->ancestors_;
  ancestors_.push_back(this);
  depth_ = ancestors_.size() - 1;
}

const std::vector<const TPropInfo*>& TElementClass::Properties() const {
  if (!built_) {
    // Declared lazily, so that a class may publish a property of its own
    // class without recursing into its own construction.
    built_ = true;
    if (declare_) declare_(const_cast<TElementClass&>(*this));
    if (parent_) all_ = parent_->Properties();
    // A class that publishes a name its ancestor already publishes takes
    // over that entry: one property per name, at the ancestor's position.
    for (const auto& p : own_) {
      const std::string wanted = zelto::UpperAZ(p->Name);
      bool replaced = false;
      for (auto& inherited : all_) {
        if (zelto::UpperAZ(inherited->Name) == wanted) {
          inherited = p.get();
          replaced = true;
          break;
        }
      }
      if (!replaced) all_.push_back(p.get());
    }
  }
  return all_;
}

const TPropInfo* TElementClass::Property(int index) const {
  const auto& props = Properties();
  if (index < 0 || index >= static_cast<int>(props.size())) return nullptr;
  return props[index];
}

int TElementClass::IndexOfProperty(const std::string& name) const {
  // Asked for every property read by name, so nothing is built per name.
  const auto& props = Properties();
  for (std::size_t i = 0; i < props.size(); ++i)
    if (zelto::SameTextAZ(props[i]->Name, name)) return static_cast<int>(i);
  return -1;
}

TPropInfo& TElementClass::AddOwnProperty(TPropInfo info) {
  own_.push_back(std::make_unique<TPropInfo>(std::move(info)));
  return *own_.back();
}
