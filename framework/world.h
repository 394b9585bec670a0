#pragma once
// The root element of a running program: it holds the main tool (which
// receives every message posted without a receiver), the system register,
// the class registry and the object model, under which all data read at run
// time is filed.
#include <cstdint>
#include <set>
#include <string>

#include "framework/entity.h"

class TTechnology;
class TSystemRegister;
class TZeltoClasses;

// The container of the model data read at run time.
class TObjectModel : public TOwnerEntity {
  ZELTO_ELEMENT(TObjectModel)
 public:
  // A notice the user is given once per read of the data (the model is
  // renewed with every read): true the first time for its key.
  bool FirstNotice(const std::string& key) { return notices_.insert(key).second; }

 private:
  std::set<std::string> notices_;
};

class TWorld : public TEntity {
  ZELTO_ELEMENT(TWorld)
 public:
  // Attaches the program-wide class registry as the child "ObjectClasses".
  TWorld();
  ~TWorld() override;

  TTechnology* GetMainTool();
  void SetMainTool(TTechnology* tool);
  // Created and named "System register" on first read.
  TSystemRegister* GetSystemRegister();
  void SetSystemRegister(TSystemRegister* reg);
  TZeltoClasses* GetObjectClasses() const { return objectClasses_; }
  // Created and named "Object model" on first read; setting nullptr drops the
  // current model so that the next read starts an empty one.
  TObjectModel* GetObjectModel();
  void SetObjectModel(TObjectModel* model);

  // Descendants may create a main tool on demand; the shell sets it instead.
  virtual void CreateMainTool() {}
  // Delivers one framework message: to its receiver, or to the main tool
  // when it names none; frees it afterwards.
  virtual void DispatchAppMessage(TZeltoMessage* message, bool& handled);
  // "World Level Error :" and the error's text in an error box.
  virtual void ReportError(TElement* sender, const std::exception& error);
  // Makes this world's main tool the receiver of messages without one.
  void InstallMessageHook();

  // The application object's properties, kept here: nothing shows hints.
  std::string GetApplicExeName() const;
  std::string GetApplicDir() const;
  std::string ApplicHelpFile;
  std::string ApplicHint;
  bool ApplicShowHint = false;
  std::int32_t ApplicHintColor = 0;
  std::int32_t ApplicHintPause = 0;
  std::string ApplicTitle;
  void SetTestElement(TElement* element);

 private:
  TTechnology* mainTool_ = nullptr;
  TSystemRegister* systemRegister_ = nullptr;
  TZeltoClasses* objectClasses_ = nullptr;
  TObjectModel* objectModel_ = nullptr;
};

// The one world of the program: set at start, never freed by the program.
TWorld* GetWorld();
void SetWorld(TWorld* world);

void RegisterWorldClasses();
