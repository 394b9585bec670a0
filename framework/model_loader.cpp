#include "framework/model_loader.h"

#include <filesystem>
#include <iterator>
#include <new>
#include <unordered_set>
#include <utility>
#include <algorithm>

#include "framework/class_registry.h"
#include "framework/element_stream_loader.h"
#include "framework/message_dispatch.h"
#include "framework/value_stream.h"
#include "framework/zelto_message.h"
#include "platform/codepage.h"
#include "platform/path_resolver.h"
#include "platform/regular_file.h"
#include "platform/user_interaction.h"

namespace {

// Bytes that do not form a value where one must stand.
class DecodeError : public EZeltoError {
 public:
  using EZeltoError::EZeltoError;
};

constexpr std::int32_t kClassKind = 7;
constexpr std::int32_t kFloatKind = 4;
constexpr std::int32_t kCharKind = 2;
// Inline objects are read by recursion; no model nests them nearly so deep,
// and a damaged file must not exhaust the stack.
constexpr int kMaxInlineDepth = 500;

bool isOrdinalKind(std::int32_t kind) { return kind == 1 || kind == 3 || kind == 6 || kind == 16; }
bool isTextKind(std::int32_t kind) { return kind == 5 || kind == 10; }

// A character property takes one character of code point 0..255.
bool singleChar(const std::string& text, std::int64_t& code) {
  if (text.size() == 1) {
    code = static_cast<unsigned char>(text[0]);
    return true;
  }
  const auto b0 = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
  if (text.size() == 2 && (b0 == 0xC2 || b0 == 0xC3)) {
    code = ((b0 & 0x1F) << 6) | (static_cast<unsigned char>(text[1]) & 0x3F);
    return true;
  }
  return false;
}

}  // namespace

ZELTO_IMPLEMENT_ELEMENT(TZeltoLoader, TTool,
                        [](auto& p) { p.String("FileName", &TZeltoLoader::FileName, &TZeltoLoader::FileName); })
ZELTO_IMPLEMENT_ELEMENT(TStreamLoader, TZeltoLoader, ZELTO_NO_PROPERTIES)
ZELTO_IMPLEMENT_ELEMENT(TLoad, TStreamLoader, ZELTO_NO_PROPERTIES)

std::string framework::ResolveModelFile(const std::string& fileName) {
  const std::filesystem::path found = platform::pathResolver().existing(fileName);
  return found.empty() ? fileName : found.string();
}

void framework::FreeAbandonedLoad(const std::vector<TElement*>& loaded) {
  std::unordered_set<const TElement*> children;
  std::vector<platform::Handle> all;
  for (TElement* e : loaded) {
    if (!e) continue;
    all.push_back(e->GetHandle());
    if (auto* entity = dynamic_cast<TEntity*>(e))
      for (TElement* child : entity->Items()) children.insert(child);
  }
  std::vector<TElement*> roots;
  for (TElement* e : loaded)
    if (e && !children.count(e) && std::find(roots.begin(), roots.end(), e) == roots.end()) roots.push_back(e);
  for (TElement* root : roots) delete root;
  // Entities that list each other (or themselves) have no root among them;
  // nothing outside the load can hold them, so what is still alive goes,
  // the last read first, as a parent is read after its children.
  for (auto it = all.rbegin(); it != all.rend(); ++it)
    if (TElement* e = TElement::FromHandle(*it)) delete e;
}

void framework::FreeUnheldLoad(const std::vector<platform::Handle>& made, const std::vector<platform::Handle>& kept) {
  std::unordered_set<const TElement*> held;
  std::vector<TElement*> walk;
  for (platform::Handle handle : kept)
    if (TElement* e = TElement::FromHandle(handle)) walk.push_back(e);
  while (!walk.empty()) {
    TElement* e = walk.back();
    walk.pop_back();
    if (!held.insert(e).second) continue;
    if (auto* entity = dynamic_cast<TEntity*>(e))
      for (TElement* child : entity->Items())
        if (child) walk.push_back(child);
  }
  std::vector<TElement*> unheld;
  for (platform::Handle handle : made) {
    TElement* e = TElement::FromHandle(handle);
    if (e && !held.count(e) && std::find(unheld.begin(), unheld.end(), e) == unheld.end()) unheld.push_back(e);
  }
  for (TElement* e : unheld) {
    auto* entity = dynamic_cast<TEntity*>(e);
    if (!entity) continue;
    for (TElement* child : std::vector<TElement*>(entity->Items()))
      while (child && held.count(child) && entity->IndexOf(child) >= 0) entity->Remove(child);
  }
  FreeAbandonedLoad(unheld);
}

// --- TZeltoLoader ----------------------------------------------------------------

bool TZeltoLoader::KindsMatch(std::int32_t a, std::int32_t b) {
  return a == b || (isTextKind(a) && isTextKind(b));
}

void TZeltoLoader::Warn(const std::string& text) { PostTextMessage(this, zelto::msg::LogText, text); }

void TZeltoLoader::DoIt() {
  BeginLoad();
  PrepareLoad();
  ReadHeader();
  AfterHeader();
  ReadRecords();
  SetOutput(loaded_.empty() ? nullptr : loaded_.back());
  // Records that neither the output holds nor a property took (an inline
  // object of a property the class lacks, a record after which another
  // became the output) would otherwise outlive every reference to them.
  std::vector<platform::Handle> kept = placed_;
  if (TElement* output = Output()) kept.push_back(output->GetHandle());
  framework::FreeUnheldLoad(made_, kept);
  FinishLoad();
  EndLoad();
}

void TZeltoLoader::BeginLoad() {
  busy_ = std::make_unique<platform::BusyCursor>();
  const std::int64_t size = GetStreamSize();
  BeginProgress("Načítání modelu ze souboru " + FileName, 0,
                static_cast<std::int32_t>(std::min<std::int64_t>(size, INT32_MAX)));
}

void TZeltoLoader::EndLoad() {
  busy_.reset();
  EndProgress();
}

void TZeltoLoader::NoteLoaded(TElement* object) {
  // Once listed, a failed load frees it with the rest.
  try {
    loaded_.push_back(object);
  } catch (...) {
    delete object;
    throw;
  }
  if (object) made_.push_back(object->GetHandle());
}

void TZeltoLoader::PrepareLoad() {
  loaded_.clear();
  made_.clear();
  placed_.clear();
  holders_.clear();
  currentObject_ = nullptr;
  currentClass_ = nullptr;
  lastRecordId_ = -1;
  if (instance_) Delete(std::exchange(instance_, nullptr));
  instance_ = Adopt(new TZeltoInstance());
  CreateClassTable();
}

void TZeltoLoader::FinishLoad() {
  loaded_.clear();
  currentObject_ = nullptr;
  if (instance_) instance_->SetInstance(nullptr);
}

void TZeltoLoader::CreateClassTable() {
  if (classTable_) Delete(std::exchange(classTable_, nullptr));
  classes_.clear();
  classTable_ = Adopt(new TZeltoClasses());
}

void TZeltoLoader::DefineClass(const std::string& name) {
  auto made = std::make_unique<TZeltoClass>();
  if (const TElementClass* cls = FindZeltoClass(name)) {
    made->SetElementClass(cls);
  } else {
    Warn(name + " - Unknown class !");
    made->SetElementClass(&TOwnerEntity::StaticClass());
    made->SetName(name + " ?");
  }
  TZeltoClass* entry = classTable_->Adopt(made.release());
  classes_.push_back(entry);
  currentClass_ = entry;
}

void TZeltoLoader::DefineProperty(const std::string& name, std::int32_t declaredKind) {
  if (!currentClass_) return;
  auto made = std::make_unique<TZeltoClassProperty>();
  made->SetName(name);
  made->StoredKind = static_cast<TTypeKind>(declaredKind);
  TZeltoClassProperty* prop = currentClass_->Adopt(made.release());
  const std::string entry = currentClass_->GetName();
  const int index = currentClass_->IndexOfProperty(name);
  if (index < 0) {
    prop->LostProperty = true;
    prop->PropIndex = -1;
    Warn(entry + " lost property: " + name);
    return;
  }
  const TPropInfo* info = currentClass_->PropInfo(index);
  prop->SetInfo(info);
  prop->PropIndex = index;
  if (!KindsMatch(static_cast<std::int32_t>(info->Kind), declaredKind)) {
    prop->PropIndex = -1;
    Warn(entry + " property \"" + name + "\" type error: " + std::to_string(declaredKind));
  }
  if (!info->IsStoredStatic()) return;
  if (declaredKind == kClassKind && info->ObjectClass &&
      !info->ObjectClass->InheritsFrom(TElement::StaticClass()))
    Warn(entry + " property \"" + name + "\" is not Element!");
  if (!info->HasGetter() || !info->HasSetter())
    Warn(entry + " property \"" + name + "\" is Read or Write Only!");
}

TElement* TZeltoLoader::CreateObject(std::int32_t k) {
  if (k < 0 || static_cast<std::size_t>(k) >= classes_.size()) {
    currentClass_ = nullptr;
    Warn("Class index " + std::to_string(k) + " out of range !");
    return nullptr;
  }
  currentClass_ = classes_[static_cast<std::size_t>(k)];
  const TElementClass* cls = currentClass_->ElementClass();
  return cls ? cls->Create() : nullptr;
}

TZeltoClassProperty* TZeltoLoader::PropertyAt(std::int32_t position) const {
  if (!currentClass_ || position < 0 || position >= currentClass_->GetCount()) return nullptr;
  return dynamic_cast<TZeltoClassProperty*>(currentClass_->GetItem(position));
}

void TZeltoLoader::SetPropertyValue(std::int32_t position, const Value& value) {
  TZeltoClassProperty* prop = PropertyAt(position);
  if (!prop || prop->PropIndex < 0 || !currentObject_ || !instance_) return;
  const TPropInfo* info = prop->Info();
  if (!info || !info->HasGetter() || !info->HasSetter()) return;
  const auto kind = static_cast<std::int32_t>(info->Kind);
  const int index = prop->PropIndex;
  using T = Value::Type;
  bool taken = true;
  if (isOrdinalKind(kind) && value.type == T::Integer) {
    instance_->SetOrdValue(index, value.integer);
  } else if (kind == kCharKind && value.type == T::String) {
    std::int64_t code = 0;
    taken = singleChar(value.text, code);
    if (taken) instance_->SetOrdValue(index, code);
  } else if (kind == kFloatKind && value.type == T::Float) {
    instance_->SetFloatValue(index, value.real);
  } else if (kind == kFloatKind && value.type == T::Integer) {
    instance_->SetFloatValue(index, static_cast<double>(value.integer));
  } else if (isTextKind(kind) && value.type == T::String) {
    instance_->SetStrValue(index, value.text);
  } else if (kind == kClassKind && value.type == T::Object) {
    instance_->SetObjValue(index, value.object);
    if (value.object) placed_.push_back(value.object->GetHandle());
  } else {
    taken = false;
  }
  if (!taken) Warn(currentClass_->GetName() + " property \"" + prop->GetName() + "\" value does not fit");
}

void TZeltoLoader::AddChildByIndex(std::int32_t position) {
  auto* entity = dynamic_cast<TEntity*>(currentObject_);
  if (!entity || position < 0 || static_cast<std::size_t>(position) >= loaded_.size()) return;
  TElement* child = loaded_[static_cast<std::size_t>(position)];
  if (!child) return;
  // Every entity frees a child that keeps no list of its owners: a damaged
  // file must not give such a child a second one.
  int& holders = holders_[child];
  if (holders > child->GetOwnersCount()) {
    Warn("Child " + std::to_string(position) + " already has an owner !");
    return;
  }
  // A child that cannot be added fails the load: a model without it is not
  // the one the file holds.
  entity->Add(child);
  ++holders;
}

// --- TStreamLoader -----------------------------------------------------------------

TStreamLoader::~TStreamLoader() = default;

void TStreamLoader::DoIt() {
  if (FileName.empty()) throw EBadStreamName("Chybné jméno souboru : " + FileName + " !");
  const std::string path = framework::ResolveModelFile(FileName);
  std::string bytes;
  std::error_code ec;
  if (!platform::readRegularFile(path, bytes, ec)) throw EBadStream("Soubor " + FileName + " neexistuje!");
  data_.assign(bytes.begin(), bytes.end());
  reader_ = std::make_unique<zelto::ValueReader>(data_);
  reader_->SetTextConverter(
      [](std::string_view raw) { return platform::toUtf8(raw, platform::CodePage::Windows1250); });
  const std::string signature = data_.size() >= 4 ? reader_->ReadRaw(4) : std::string();
  if (signature == "TPF0") {
    reader_.reset();
    data_.clear();
    LoadTPF0();
    return;
  }
  if (signature == "ZLT0") {
    ReadZlt0();
    reader_.reset();
    data_.clear();
    return;
  }
  reader_.reset();
  data_.clear();
  throw EBadStream(FileName + " ... neznámý typ souboru");
}

void TStreamLoader::ReadZlt0() {
  TElement* before = Output();
  try {
    TZeltoLoader::DoIt();
  } catch (const std::exception& e) {
    // The format has no record lengths: past bytes that do not decode
    // nothing can be trusted, so the load stops here.
    framework::FreeAbandonedLoad(loaded_);
    FinishLoad();
    EndLoad();
    // A new output that outlived the freeing was whole: only the end of
    // the progress could not be told.
    if (Output() && Output() != before) return;
    Warn("Soubor " + FileName + " nelze dočíst: " + framework::CauseOf(e));
  }
}

void TStreamLoader::LoadTPF0() {
  auto loader = std::make_unique<TLoader>();
  loader->SetName(FileName);
  loader->DoIt();
  SetOutput(loader->Output());
}

void TStreamLoader::UpdateProgress() {
  if (!pacer_.due()) return;
  const std::size_t position = reader_->Position();
  StepProgress(static_cast<std::int32_t>(position));
  ProgressText(std::to_string(position) + " bytů z celkových " + std::to_string(data_.size()));
  zelto::ProcessPendingMessages();
}

void TStreamLoader::ReadHeader() {
  for (int i = 0; i < 3; ++i) reader_->ReadString();
}

void TStreamLoader::ReadClassDefinition() {
  const std::string name = reader_->ReadString();
  reader_->ReadInteger();
  DefineClass(name);
  reader_->ReadListBegin();
  while (!reader_->EndOfList()) {
    const std::string property = reader_->ReadString();
    const std::int32_t kind = reader_->ReadInteger();
    DefineProperty(property, kind);
  }
  reader_->ReadListEnd();
}

void TStreamLoader::ReadRecords() {
  reader_->ReadListBegin();
  while (!reader_->EndOfList()) {
    const std::int32_t k = reader_->ReadInteger();
    if (k == -1) ReadClassDefinition();
    else ReadObjectRecord(k);
    UpdateProgress();
  }
  reader_->ReadListEnd();
}

void TStreamLoader::ReadObjectRecord(std::int32_t k) {
  TElement* object = CreateObject(k);
  NoteLoaded(object);
  currentObject_ = object;
  if (instance_) instance_->SetInstance(object);
  const std::int32_t id = reader_->ReadInteger();
  ReadProperties();
  ReadChildren();
  lastRecordId_ = id;
}

TZeltoLoader::Value TStreamLoader::ReadValue(std::int32_t declaredKind) {
  Value value;
  switch (reader_->NextValue()) {
    case zelto::vaInt8:
    case zelto::vaInt16:
    case zelto::vaInt32: {
      const std::int32_t r = reader_->ReadInteger();
      const bool inlineFollows = r == -2 && !reader_->AtEnd() && reader_->NextValue() == zelto::vaList;
      if (inlineFollows) {
        if (inlineDepth_ >= kMaxInlineDepth)
          throw DecodeError("objekty vnořené hlouběji než " + std::to_string(kMaxInlineDepth));
        struct Nested {
          int& depth;
          ~Nested() { --depth; }
        } nested{++inlineDepth_};
        TElement* savedObject = currentObject_;
        TZeltoClass* savedClass = currentClass_;
        ReadRecords();
        currentObject_ = savedObject;
        currentClass_ = savedClass;
        if (instance_) instance_->SetInstance(currentObject_);
        value.type = Value::Type::Object;
        const std::int32_t id = lastRecordId_;
        if (id >= 0 && static_cast<std::size_t>(id) < loaded_.size() && loaded_[static_cast<std::size_t>(id)]) {
          value.object = loaded_[static_cast<std::size_t>(id)];
          value.object->ID = -1;
        } else {
          Warn("Inline object ID " + std::to_string(id) + " out of range !");
        }
      } else if (declaredKind == kClassKind) {
        value.type = Value::Type::Object;
        if (r >= 0 && static_cast<std::size_t>(r) < loaded_.size()) {
          value.object = loaded_[static_cast<std::size_t>(r)];
        } else if (r != -1) {
          Warn("Reference " + std::to_string(r) + " out of range !");
        }
      } else {
        value.integer = r;
      }
      return value;
    }
    case zelto::vaExtended:
      value.type = Value::Type::Float;
      value.real = reader_->ReadFloat();
      return value;
    case zelto::vaString:
    case zelto::vaLString:
      value.type = Value::Type::String;
      value.text = reader_->ReadString();
      return value;
    default:
      throw DecodeError("neznámý typ hodnoty " + std::to_string(reader_->NextValue()) + " na pozici " +
                        std::to_string(reader_->Position()));
  }
}

void TStreamLoader::ReadProperties() {
  reader_->ReadListBegin();
  while (!reader_->EndOfList()) {
    const std::int32_t position = reader_->ReadInteger();
    TZeltoClassProperty* prop = PropertyAt(position);
    const std::int32_t kind = prop ? static_cast<std::int32_t>(prop->StoredKind) : 0;
    const Value value = ReadValue(kind);
    if (!currentObject_ || !prop) continue;
    try {
      SetPropertyValue(position, value);
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception& e) {
      Warn(currentClass_->GetName() + " property \"" + prop->GetName() + "\": " + e.what());
    }
  }
  reader_->ReadListEnd();
}

void TStreamLoader::ReadChildren() {
  const std::int32_t flag = reader_->ReadInteger();
  if ((flag & 0xFF) == 0) return;
  reader_->ReadListBegin();
  while (!reader_->EndOfList()) AddChildByIndex(reader_->ReadInteger());
  reader_->ReadListEnd();
}

void RegisterLoaderClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterZeltoClass(TZeltoLoader::StaticClass());
  RegisterZeltoClass(TStreamLoader::StaticClass());
  RegisterZeltoClass(TLoad::StaticClass());
  RegisterZeltoClass(TLoader::StaticClass());
}
