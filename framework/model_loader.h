#pragma once
// Loaders of model files. A "ZLT0" file is a self-describing object graph:
// class definitions with property names and type kinds, then object records
// with typed property values, references by position and child lists. A
// "TPF0" file is a list of elements each in its own stream data (TLoader).
// The loaded root object becomes the loader's Output.
//
// "ZLT0" values are decoded by their value-type bytes, so that a property
// whose published kind differs from the declared one, a lost property or a
// record of an unknown class cannot desynchronise the stream. A file that
// cannot be decoded stops the load with a code-8 warning; class indexes,
// reference positions and inline object IDs outside what has been read give
// nil and a code-8 warning.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/errors.h"
#include "framework/tool.h"
#include "platform/pacer.h"
#include "platform/user_interaction.h"

class TZeltoClass;
class TZeltoClasses;
class TZeltoClassProperty;
class TZeltoInstance;
namespace zelto {
class ValueReader;
}

// A model file that cannot be opened or is of no known kind.
class EBadStream : public EZeltoError {
 public:
  using EZeltoError::EZeltoError;
};
class EBadStreamName : public EBadStream {
 public:
  using EBadStream::EBadStream;
};

class TZeltoLoader : public TTool {
  ZELTO_ELEMENT(TZeltoLoader)
 public:
  // One decoded value of a "ZLT0" property.
  struct Value {
    enum class Type { Integer, Float, String, Object } type = Type::Integer;
    std::int64_t integer = 0;
    double real = 0;
    std::string text;
    TElement* object = nullptr;
  };

  template <class Loader>
  static Loader* CreateWithFileName(const std::string& fileName) {
    auto* loader = new Loader();
    loader->FileName = fileName;
    return loader;
  }

  std::string FileName;

  void DoIt() override;
  std::string GetParameterName(int) override { return "FileName"; }

  virtual void BeginLoad();
  virtual void EndLoad();
  virtual void UpdateProgress() {}
  virtual std::int64_t GetStreamSize() { return 0; }
  virtual void PrepareLoad();
  virtual void FinishLoad();
  virtual void CreateClassTable();
  virtual void ReadHeader() {}
  virtual void AfterHeader() {}
  virtual void ReadClassDefinition() {}
  virtual void DefineClass(const std::string& name);
  virtual void DefineProperty(const std::string& name, std::int32_t declaredKind);
  virtual void ReadRecords() {}
  // The object of the class at position k of the file's class table;
  // nullptr (with a warning) when there is none.
  virtual TElement* CreateObject(std::int32_t k);
  virtual void ReadProperties() {}
  virtual void SetPropertyValue(std::int32_t position, const Value& value);
  virtual void ReadChildren() {}
  virtual void AddChildByIndex(std::int32_t position);

  // Whether the kinds agree: equal, or both text kinds (5 and 10).
  static bool KindsMatch(std::int32_t a, std::int32_t b);
  // The warning (code 8) the loader posts.
  void Warn(const std::string& text);

 protected:
  // Objects in creation order, by file position (nullptr where a record
  // failed, so that later positions still match the file).
  std::vector<TElement*> loaded_;
  // How many entities of this load hold each child.
  std::unordered_map<const TElement*, int> holders_;
  TElement* currentObject_ = nullptr;
  TZeltoClass* currentClass_ = nullptr;
  TZeltoInstance* instance_ = nullptr;
  TZeltoClasses* classTable_ = nullptr;
  std::vector<TZeltoClass*> classes_;
  std::int32_t lastRecordId_ = -1;
  std::unique_ptr<platform::BusyCursor> busy_;

  TZeltoClassProperty* PropertyAt(std::int32_t position) const;
  // Keeps the object at the next file position.
  void NoteLoaded(TElement* object);

 private:
  // Every object made, and those a property took, by handle: a property may
  // free an object while the file is read.
  std::vector<platform::Handle> made_;
  std::vector<platform::Handle> placed_;
};

class TStreamLoader : public TZeltoLoader {
  ZELTO_ELEMENT(TStreamLoader)
 public:
  ~TStreamLoader() override;

  void DoIt() override;
  std::int64_t GetStreamSize() override { return static_cast<std::int64_t>(data_.size()); }
  void UpdateProgress() override;
  void ReadHeader() override;
  void ReadClassDefinition() override;
  void ReadRecords() override;
  void ReadProperties() override;
  void ReadChildren() override;
  void LoadTPF0();

 private:
  Value ReadValue(std::int32_t declaredKind);
  void ReadObjectRecord(std::int32_t k);
  void ReadZlt0();

  std::vector<std::uint8_t> data_;
  std::unique_ptr<zelto::ValueReader> reader_;
  platform::Pacer pacer_;
  int inlineDepth_ = 0;
};

// The loader the application shell uses for its plug-in list.
class TLoad : public TStreamLoader {
  ZELTO_ELEMENT(TLoad)
};

namespace framework {
// The name of a model file as the platform finds it (letter case ignored).
std::string ResolveModelFile(const std::string& fileName);
// Frees what a failed load created: every object that no other loaded
// entity lists as a child (the children go with their parents).
void FreeAbandonedLoad(const std::vector<TElement*>& loaded);
// Frees what a whole load made that nothing keeps: every object still alive
// that is neither one of `kept` (the load's output, objects a property
// took) nor held, child by child, by one of them. Nothing else can reach
// such an object. What the kept ones hold is first taken out of the objects
// freed, so that it does not go with them.
void FreeUnheldLoad(const std::vector<platform::Handle>& made, const std::vector<platform::Handle>& kept);
}  // namespace framework

void RegisterLoaderClasses();
