#pragma once
// The roots of the exporters that write spatial objects out of the model:
// the text export of a container, and the block export, which gives every
// exported object its row in the attribute table of its kind and may enter
// it in the register of the target block.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "framework/tool.h"
#include "gisblock/gelix_writers.h"
#include "gisblock/staged_block.h"

class TBlockRegister;
class TDynamicProperties;
class TGeliXObjectReader;
class TPropertyList;
class TSpaceEntity;

class TExportElements : public TTool {
  ZELTO_ELEMENT(TExportElements)
 public:
  ~TExportElements() override;
  TPropertyList* GetExpProps();
  void SetNextPropName(const std::string& name);
  void SetDelimiter(const std::string& delimiter);

 private:
  TPropertyList* expProps_ = nullptr;  // owned
};

class TExportElementsToText : public TExportElements {
  ZELTO_ELEMENT(TExportElementsToText)
 public:
  std::string FileName;
  void DoIt() override;
};

class TExpBlockName : public TNameElement {
  ZELTO_ELEMENT(TExpBlockName)
 public:
  std::string BlockDir;
  std::string BlockName;
  std::string GetFullBlockName() const;
};

class TExportGelixElements : public TExportElements {
  ZELTO_ELEMENT(TExportGelixElements)
 public:
  std::string BlockName;
  std::string ControlDir;
  bool ExportDBF = false;
  bool CreateFromSource = false;
  std::int32_t JedenDruh = 0;
  bool RegisterObject = false;
  bool PlochyVHa = false;
  bool BothSources = false;
  // See TExportDBFClass::SourceRowsRequired.
  bool SourceRowsRequired = false;
  std::function<void(TSpaceEntity* object, TDynamicProperties*& values)> OnExportObject;

  // Created on first use as a child of the exporter.
  TDynamicProperties* GetDynamicProps();

  // The row of the object in the table of its kind.
  virtual void ExportObjectRow(TSpaceEntity* object);
  // Row and registration; an error of the object is shown with its name,
  // number and place, and the export goes on.
  virtual void ExportObject(TSpaceEntity* object);
  virtual void DoExportObject(TSpaceEntity* object);

  // A block that a job writes with several exporters and commits itself.
  // Without one, a run writes BlockName beside the old block and puts it in
  // place only when every file and table was written; otherwise the old
  // block stays as it was and the user is told once which file failed.
  void SetStagedBlock(gisblock::StagedBlock* staged) { shared_ = staged; }
  // What the last run wrote; Written is false when it failed, was broken
  // off or had nothing to write.
  struct Summary {
    bool Written = false;
    std::int32_t Areas = 0;
    std::int32_t Lines = 0;
    std::int32_t Rows = 0;
    // The log line of a block written so.
    std::string Text(const std::string& block) const;
  };
  const Summary& LastRun() const { return summary_; }
  ~TExportGelixElements() override;

 protected:
  // Starts a run: the staged block to write into; nil after the reason
  // was shown.
  gisblock::StagedBlock* BeginBlock();
  gisblock::StagedBlock* Staged() const { return staged_; }
  // Where the files of the running export go: the staging directory.
  std::string TargetDirectory() const;
  // Ends a run: the table writers close their tables; an own block is
  // committed unless something failed, the user broke off or there was
  // nothing to write (`nothingWritten` says why). One log line tells
  // what was written or why not.
  void EndBlock(bool interrupted, const std::string& nothingWritten = {});
  // A writer of the block's files for this run: false, with the failure
  // noted in the staged block, when it could not be opened (`opening` says
  // why) or has failed.
  bool WriterWorks(const TGeliXObjectReader* writer, const gisblock::FileFailure& opening = {});
  // The TN files of an empty block into the staging directory, which the
  // writers then fill; false, with the failure noted, when one cannot be
  // written.
  bool WriteEmptyBlock();
  Summary summary_;

  void RegisterInBlock(TSpaceEntity* object);
  // "Chyba exportu objektu" with the object's name, number and place.
  void ReportExportError(TSpaceEntity* object, const std::exception& e);

 private:
  TDynamicProperties* dynamicProps_ = nullptr;
  TBlockRegister* blockRegister_ = nullptr;
  gisblock::StagedBlock* shared_ = nullptr;  // the job's
  std::unique_ptr<gisblock::StagedBlock> own_;
  gisblock::StagedBlock* staged_ = nullptr;  // during a run
};
