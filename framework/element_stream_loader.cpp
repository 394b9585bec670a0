#include "framework/element_stream_loader.h"

#include <filesystem>
#include <iterator>
#include <memory>
#include <unordered_set>
#include <vector>

#include "framework/class_registry.h"
#include "framework/model_loader.h"
#include "framework/value_stream.h"
#include "platform/codepage.h"
#include "platform/regular_file.h"
#include "platform/user_interaction.h"

ZELTO_IMPLEMENT_ELEMENT(TLoader, TTool, ZELTO_NO_PROPERTIES)

TLoader::TLoader() { SetName("ZELTO.ZLT"); }

void TLoader::DoIt() {
  platform::BusyCursor busy;
  const std::string name = GetName();
  if (name.empty()) throw EBadStreamName("Chybné jméno streamu : " + name + " !");
  const std::string path = framework::ResolveModelFile(name);
  std::string bytes;
  std::error_code ec;
  if (!platform::readRegularFile(path, bytes, ec)) throw EBadStream("Soubor " + name + " neexistuje!");
  const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  zelto::ValueReader reader(data);
  reader.SetTextConverter(
      [](std::string_view raw) { return platform::toUtf8(raw, platform::CodePage::Windows1250); });
  if (data.size() < 4 || reader.ReadRaw(4) != "TPF0") throw EBadStream(name + " ... neznámý typ souboru");

  // The list only points at what was read: emptied, never freed with it.
  TQuickEntity loaded;
  struct Forget {
    TQuickEntity& list;
    ~Forget() { list.Clear(); }
  } forget{loaded};
  TElement* last = nullptr;
  std::string className;
  // Children that keep no list of their owners, and so are freed by every
  // entity that lists them: a damaged file must not list one twice.
  std::unordered_set<const TElement*> held;
  try {
    // A file cut short ends inside the list as surely as inside an element.
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
      className = reader.ReadString();
      const TElementClass* cls = FindZeltoClass(className);
      if (!cls) {
        platform::showError("Neregistrovaný element: " + className);
        framework::FreeAbandonedLoad(loaded.Items());
        return;
      }
      std::unique_ptr<TElement> element(CreateElement(*cls));
      if (!element) throw EZeltoError("abstraktní třída");
      try {
        element->ReadData(reader, loaded);
        if (auto* entity = dynamic_cast<TEntity*>(element.get())) {
          std::unordered_set<const TElement*> own;
          for (TElement* child : std::vector<TElement*>(entity->Items())) {
            if (!child || child->GetOwnersCount() > 0 || !own.insert(child).second) continue;
            if (!held.insert(child).second) {
              while (entity->IndexOf(child) >= 0) entity->Remove(child);
              throw EZeltoError("prvek je již v jiném seznamu");
            }
          }
        }
      } catch (...) {
        // Half read, it may already hold children: freed with the rest.
        loaded.Add(element.release());
        throw;
      }
      last = element.get();
      loaded.Add(element.release());
      className.clear();
    }
    reader.ReadListEnd();
  } catch (const std::exception&) {
    platform::showError("Chyba při čtení elementu: " + className);
    framework::FreeAbandonedLoad(loaded.Items());
    return;
  }
  // An element that the last one does not hold, child by child, is held by
  // nothing: the file lists only children.
  std::vector<platform::Handle> made;
  for (TElement* e : loaded.Items()) made.push_back(e->GetHandle());
  if (last) framework::FreeUnheldLoad(made, {last->GetHandle()});
  SetOutput(last);
}
