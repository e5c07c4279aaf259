// The skin store, the stored-skin container and the skin list.
#include "skin/data/bsSkinData.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"
#include "skin/data/bsSkinIni.h"
#include "skin/draw/bsGeometry.h"
#include "skin/data/bsZlibStreams.h"

namespace skin {

namespace {

TbsSkinFormRegistry* gFormRegistry = nullptr;

// The inflated payload of one skin is far below this (the stored skins are
// 0.3 to 1.5 MB); a block that inflates beyond it is not a skin.
constexpr int64_t kMaxPayloadBytes = 128ll * 1024 * 1024;
// A description is some hundred kilobytes; the cap keeps a damaged or hostile
// one from costing gigabytes once split into lines and keys.
constexpr uint64_t kMaxDescriptionBytes = 4ull * 1024 * 1024;

void CheckDescriptionSize(uint64_t Size, const std::string& What) {
  if (Size > kMaxDescriptionBytes)
    throw rtl::EReadError(What + ": the skin description is larger than " +
                          std::to_string(kMaxDescriptionBytes / (1024 * 1024)) + " MB");
}

// Reads a description file, refusing one beyond the cap before reading it.
std::string ReadDescriptionFile(const std::string& FileName) {
  std::error_code ec;
  auto size = std::filesystem::file_size(FileName, ec);
  if (!ec) CheckDescriptionSize(size, FileName);
  std::string bytes = rtl::ReadFileBytes(FileName);
  CheckDescriptionSize(bytes.size(), FileName);
  return bytes;
}

const char* const kLayerWindowClass = "TbsFormLayerWindow";

std::unique_ptr<TbsSkinIniFile> MakeIni(const std::vector<std::string>& Lines) {
  return std::make_unique<TbsSkinIniFile>(Lines);
}

std::vector<std::string> IniLines(TbsSkinIniFile& F) { return F.Lines(); }

std::string JoinLines(const std::vector<std::string>& Lines) {
  std::string s;
  for (const std::string& l : Lines) {
    s += l;
    s += "\r\n";
  }
  return s;
}

void WriteInt32(TStream& S, int32_t V) {
  uint8_t b[4] = {uint8_t(V), uint8_t(V >> 8), uint8_t(V >> 16), uint8_t(V >> 24)};
  S.WriteBuffer(b, 4);
}

int32_t ReadInt32(TStream& S) {
  uint8_t b[4];
  S.ReadBuffer(b, 4);
  return int32_t(uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24));
}

bool PictureEmpty(const TBitmap* B) { return B == nullptr || B->Empty(); }

void WriteFlaggedPicture(TStream& S, TBitmap* B) {
  uint8_t flag = PictureEmpty(B) ? 1 : 0;
  S.WriteBuffer(&flag, 1);
  if (!flag) B->SaveToStream(S);
}

// The pictures of one skin together; the stored skins hold a few million
// pixels in some dozens of pictures. Each picture is bounded by the bitmap
// reader, the sum by this; the count as well, since a stream of tiny pictures
// costs far more as objects than as pixels.
constexpr int64_t kMaxSkinPixels = 64ll * 1024 * 1024;
constexpr int kMaxSkinPictures = 4096;

class TPixelBudget {
 public:
  void Take(const TBitmap* B) {
    if (!B) return;
    if (++pictures_ > kMaxSkinPictures)
      throw rtl::EInvalidGraphic("The skin holds more than " + std::to_string(kMaxSkinPictures) + " pictures");
    used_ += int64_t(B->Width()) * int64_t(B->Height());
    if (used_ > kMaxSkinPixels)
      throw rtl::EInvalidGraphic("The skin's pictures hold more than " + std::to_string(kMaxSkinPixels) + " pixels");
  }

 private:
  int64_t used_ = 0;
  int pictures_ = 0;
};

std::unique_ptr<TBitmap> ReadFlaggedPicture(TStream& S) {
  uint8_t flag = 1;
  S.ReadBuffer(&flag, 1);
  if (flag != 0) return nullptr;
  auto b = std::make_unique<TBitmap>();
  b->LoadFromStream(S);
  return b;
}

std::unique_ptr<TBitmap> LoadPictureFile(const std::string& FileName) {
  auto b = std::make_unique<TBitmap>();
  b->LoadFromFile(FileName);
  return b;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

std::string Utf16ToUtf8(const std::string& Bytes, size_t Start, bool BigEndian) {
  std::string out;
  auto unit = [&](size_t i) -> uint32_t {
    uint8_t a = uint8_t(Bytes[i]), b = uint8_t(Bytes[i + 1]);
    return BigEndian ? (uint32_t(a) << 8 | b) : (uint32_t(b) << 8 | a);
  };
  size_t i = Start;
  while (i + 1 < Bytes.size()) {
    uint32_t u = unit(i);
    i += 2;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 < Bytes.size()) {
        uint32_t l = unit(i);
        if (l >= 0xDC00 && l <= 0xDFFF) {
          i += 2;
          AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (l - 0xDC00));
          continue;
        }
      }
      AppendUtf8(out, 0xFFFD);
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

}  // namespace

void SetSkinFormRegistry(TbsSkinFormRegistry* ARegistry) { gFormRegistry = ARegistry; }
TbsSkinFormRegistry* SkinFormRegistry() { return gFormRegistry; }

// --- platform glue ---------------------------------------------------------------

std::vector<std::string> SectionKeys(TIniFile& F, const std::string& Section) {
  rtl::TStringList list;
  F.ReadSection(Section, list);
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

// --- text ------------------------------------------------------------------------

std::string DecodeSkinText(const std::string& Bytes) {
  if (Bytes.size() >= 3 && uint8_t(Bytes[0]) == 0xEF && uint8_t(Bytes[1]) == 0xBB && uint8_t(Bytes[2]) == 0xBF)
    return Bytes.substr(3);
  if (Bytes.size() >= 2 && uint8_t(Bytes[0]) == 0xFF && uint8_t(Bytes[1]) == 0xFE) return Utf16ToUtf8(Bytes, 2, false);
  if (Bytes.size() >= 2 && uint8_t(Bytes[0]) == 0xFE && uint8_t(Bytes[1]) == 0xFF) return Utf16ToUtf8(Bytes, 2, true);
  return Bytes;
}

std::string EncodeSkinText(const std::string& Utf8) { return Utf8; }

std::vector<std::string> SplitSkinLines(const std::string& Text) {
  std::vector<std::string> out;
  std::string cur;
  for (size_t i = 0; i < Text.size(); ++i) {
    char c = Text[i];
    if (c == '\r' || c == '\n') {
      out.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

// --- payload ------------------------------------------------------------------------

void ReadSkinPayload(TStream& S, TbsSkinPayload& P) {
  P = TbsSkinPayload();
  P.Version = ReadInt32(S);
  if (P.Version > 3) return;
  TPixelBudget budget;
  P.Picture = ReadFlaggedPicture(S);
  budget.Take(P.Picture.get());
  P.InActivePicture = ReadFlaggedPicture(S);
  budget.Take(P.InActivePicture.get());
  P.Mask = ReadFlaggedPicture(S);
  budget.Take(P.Mask.get());
  if (P.Version == 2) {
    ReadFlaggedPicture(S);
    ReadFlaggedPicture(S);
  }
  int32_t k = ReadInt32(S);
  for (int32_t i = 0; i < k; ++i) {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromStream(S);
    budget.Take(b.get());
    P.ActivePictures.push_back(std::move(b));
  }
  P.DescriptionBytes = S.ReadAll();
}

// --- stored skin ----------------------------------------------------------------------

TbsCompressedStoredSkin::TbsCompressedStoredSkin(cl::TComponent* AOwner)
    : cl::TComponent(AOwner), FCompressedStream(std::make_unique<TMemoryStream>()) {}
TbsCompressedStoredSkin::~TbsCompressedStoredSkin() = default;

bool TbsCompressedStoredSkin::Empty() const { return FCompressedStream->Size() == 0; }

std::string TbsCompressedStoredSkin::CompressedData() const {
  return std::string(static_cast<const char*>(FCompressedStream->Memory()), size_t(FCompressedStream->Size()));
}

void TbsCompressedStoredSkin::SetCompressedData(const std::string& Bytes) {
  FCompressedStream->Clear();
  if (!Bytes.empty()) FCompressedStream->WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
  FCompressedStream->SetPosition(0);
}

void TbsCompressedStoredSkin::LoadFromIniFile(const std::string& AFileName) {
  std::vector<std::string> lines = SplitSkinLines(DecodeSkinText(ReadDescriptionFile(AFileName)));
  auto ini = MakeIni(lines);
  if (!IsValidSkinIni(*ini)) return;
  std::string folder = rtl::ExtractFilePath(AFileName);
  FCompressedStream->Clear();
  try {
    TMemoryStream ms;
    WriteInt32(ms, 3);
    for (const char* key : {"picture", "inactivepicture", "mask"}) {
      std::string name = ini->ReadString("PICTURES", key, "");
      std::unique_ptr<TBitmap> b;
      if (!name.empty()) b = LoadPictureFile(folder + name);
      WriteFlaggedPicture(ms, b.get());
    }
    std::vector<std::string> names;
    ReadStrings(*ini, "PICTURES", "activepictures", names);
    WriteInt32(ms, int32_t(names.size()));
    for (const std::string& n : names) LoadPictureFile(folder + n)->SaveToStream(ms);
    std::string text = EncodeSkinText(JoinLines(lines));
    ms.WriteBuffer(text.data(), int64_t(text.size()));
    ZlibCompressStream(ms, *FCompressedStream);
  } catch (...) {
    FCompressedStream->Clear();
    throw;
  }
}

void TbsCompressedStoredSkin::LoadFromSkinData(TbsSkinData& ASkinData) {
  FCompressedStream->Clear();
  try {
    TMemoryStream ms;
    WriteInt32(ms, 3);
    WriteFlaggedPicture(ms, ASkinData.FPicture.get());
    WriteFlaggedPicture(ms, ASkinData.FInActivePicture.get());
    WriteFlaggedPicture(ms, ASkinData.FMask.get());
    WriteInt32(ms, int32_t(ASkinData.FActivePictures.size()));
    for (const auto& b : ASkinData.FActivePictures) b->SaveToStream(ms);
    TbsSkinIniFile ini;
    ASkinData.SaveSkinSections(ini);
    std::string text = EncodeSkinText(JoinLines(IniLines(ini)));
    ms.WriteBuffer(text.data(), int64_t(text.size()));
    ZlibCompressStream(ms, *FCompressedStream);
  } catch (...) {
    FCompressedStream->Clear();
    throw;
  }
}

namespace {
void ReadContainer(TStream& S, TMemoryStream& Block) {
  int32_t version = ReadInt32(S);
  if (version > 3) return;
  int32_t n = ReadInt32(S);
  if (n == 0) return;
  // Checked before copying, so a lying size costs neither time nor memory.
  if (n < 0 || int64_t(n) > S.Size() - S.Position()) throw rtl::EReadError("Stream read error");
  Block.CopyFrom(S, n);
  Block.SetPosition(0);
}
}  // namespace

void TbsCompressedStoredSkin::LoadFromCompressStream(TStream& Stream) {
  FCompressedStream->Clear();
  Stream.SetPosition(0);
  try {
    ReadContainer(Stream, *FCompressedStream);
  } catch (...) {
    FCompressedStream->Clear();
    throw;
  }
}

void TbsCompressedStoredSkin::LoadFromCompressFile(const std::string& AFileName) {
  FCompressedStream->Clear();
  rtl::TFileStream f(AFileName, rtl::fmOpenRead);
  try {
    ReadContainer(f, *FCompressedStream);
  } catch (...) {
    FCompressedStream->Clear();
    throw;
  }
}

void TbsCompressedStoredSkin::SaveToCompressStream(TStream& Stream) {
  WriteInt32(Stream, 3);
  WriteInt32(Stream, int32_t(FCompressedStream->Size()));
  if (FCompressedStream->Size() > 0) Stream.WriteBuffer(FCompressedStream->Memory(), FCompressedStream->Size());
}

void TbsCompressedStoredSkin::SaveToCompressFile(const std::string& AFileName) {
  if (Empty()) return;
  rtl::TFileStream f(AFileName, rtl::fmCreate);
  SaveToCompressStream(f);
}

void TbsCompressedStoredSkin::DeCompressToStream(TMemoryStream& S) {
  FCompressedStream->SetPosition(0);
  ZlibDecompressStream(S, *FCompressedStream, kMaxPayloadBytes);
}

void TbsCompressedStoredSkin::ReadPayload(TbsSkinPayload& P) {
  FCompressedStream->SetPosition(0);
  TDecompressionStream z(*FCompressedStream, kMaxPayloadBytes);
  ReadSkinPayload(z, P);
}

// --- skin list ------------------------------------------------------------------------------

TbsSkinListItem::TbsSkinListItem(cl::TCollection* ACollection)
    : cl::TCollectionItem(ACollection), FSkin(MakeOwned<TbsCompressedStoredSkin>()) {
  Name = "bsSkin" + std::to_string(Index());
}

void TbsSkinListItem::Assign(cl::TPersistent* Source) {
  auto* src = dynamic_cast<TbsSkinListItem*>(Source);
  if (!src) {
    cl::TCollectionItem::Assign(Source);
    return;
  }
  Name = src->Name;
  Description = src->Description;
  FileName = src->FileName;
  CompressedFileName = src->CompressedFileName;
  FSkin->SetCompressedData(src->Skin().CompressedData());
  FSkin->Description = src->Skin().Description;
  FSkin->FileName = src->Skin().FileName;
  FSkin->CompressedFileName = src->Skin().CompressedFileName;
}

TbsSkinListItems::TbsSkinListItems(TbsCompressedSkinList* ASkinList)
    : cl::TCollection([](cl::TCollection* c) -> cl::TCollectionItem* { return new TbsSkinListItem(c); }, ASkinList),
      FSkinList(ASkinList) {}

TbsCompressedSkinList::TbsCompressedSkinList(cl::TComponent* AOwner)
    : cl::TComponent(AOwner), FSkins(MakeOwned<TbsSkinListItems>(this)) {}

// --- the store -------------------------------------------------------------------------------

TbsSkinData::TbsSkinData(cl::TComponent* AOwner)
    : cl::TComponent(AOwner),
      FPicture(std::make_unique<TBitmap>()),
      FInActivePicture(std::make_unique<TBitmap>()),
      FMask(std::make_unique<TBitmap>()) {}

void TbsSkinData::Destroy() {
  Empty = true;
  ClearObjects();
  cl::TComponent::Destroy();
}

int TbsSkinData::GetIndex(const std::string& AIDName) const {
  for (size_t i = 0; i < ObjectList.size(); ++i)
    if (ObjectList[i]->IDName == AIDName) return int(i);
  return -1;
}

int TbsSkinData::GetControlIndex(const std::string& AIDName) const {
  for (size_t i = 0; i < CtrlList.size(); ++i)
    if (CtrlList[i]->IDName == AIDName) return int(i);
  return -1;
}

void TbsSkinData::SendSkinDataMessage(unsigned M) {
  TbsSkinFormRegistry* reg = SkinFormRegistry();
  if (!reg) return;
  TbsSkinFormRegistry::Form served = nullptr;
  TbsSkinFormRegistry::Form owner = OwnerForm ? OwnerForm : (Owner() ? reg->FormOf(Owner()) : nullptr);
  if (owner && !FShowLayeredBorders) {
    reg->SendMessage(owner, M, this, SKIN_MESSAGE_LPARAM);
    served = owner;
  }
  std::vector<TbsSkinFormRegistry::Form> targets;
  for (TbsSkinFormRegistry::Form f : reg->ScreenForms()) {
    if (served && f == served) continue;
    if (reg->FormClassName(f) == kLayerWindowClass) continue;
    targets.push_back(f);
  }
  if (FShowLayeredBorders && LayerFrame.PictureIndex != -1) std::reverse(targets.begin(), targets.end());
  for (TbsSkinFormRegistry::Form f : targets) reg->SendMessage(f, M, this, SKIN_MESSAGE_LPARAM);
}

void TbsSkinData::ClearObjects() {
  ObjectList.clear();
  CtrlList.clear();
  FActivePictures.clear();
  FActivePicturesNames.clear();
  LayerFrame.PictureIndex = -1;
  PopupWindow.WindowPictureIndex = -1;
  HintWindow.WindowPictureIndex = -1;
  FSkinColors.SetColorsToDefault();
}

void TbsSkinData::ClearAll() {
  ClearObjects();
  FPicture = std::make_unique<TBitmap>();
  FMask = std::make_unique<TBitmap>();
  FInActivePicture = std::make_unique<TBitmap>();
  FPictureName.clear();
  FMaskName.clear();
  FInActivePictureName.clear();
  Empty = true;
}

void TbsSkinData::ClearSkin() {
  ClearAll();
  SendSkinDataMessage(WM_BEFORE_CHANGE_SKIN_DATA);
  SendSkinDataMessage(WM_CHANGE_SKIN_DATA);
  SendSkinDataMessage(WM_AFTER_CHANGE_SKIN_DATA);
}

void TbsSkinData::BeginLoad() {
  Empty = true;
  ChangeSkinDataProcess = true;
  SendSkinDataMessage(WM_BEFORE_CHANGE_SKIN_DATA);
  ClearAll();
}

void TbsSkinData::FinishLoad(bool ALoaded) {
  Empty = !ALoaded;
  SendSkinDataMessage(WM_CHANGE_SKIN_DATA);
  ChangeSkinDataProcess = false;
  SendSkinDataMessage(WM_AFTER_CHANGE_SKIN_DATA);
}

void TbsSkinData::ReadVersionAndNames(TIniFile& F) {
  SkinName = F.ReadString("VERSION", "skinname", "");
  SkinAuthor = F.ReadString("VERSION", "skinauthor", "");
  AuthorEmail = F.ReadString("VERSION", "authoremail", "");
  AuthorURL = F.ReadString("VERSION", "authorurl", "");
  SkinComments = F.ReadString("VERSION", "skincomments", "");
  FPictureName = F.ReadString("PICTURES", "picture", "");
  FInActivePictureName = F.ReadString("PICTURES", "inactivepicture", "");
  FMaskName = F.ReadString("PICTURES", "mask", "");
}

void TbsSkinData::LoadDescription(TIniFile& F) {
  LoadFormInfo(F);
  PopupWindow.LoadFromFile(F);
  LayerFrame.LoadFromFile(F);
  HintWindow.LoadFromFile(F);
  FSkinColors.LoadFromFile(F);
  LoadObjects(F);
  LoadCtrls(F);
}

void TbsSkinData::LoadFromFile(const std::string& FileName) {
  if (!rtl::FileExists(FileName)) return;  // no description: nothing changes, nothing is sent
  std::string bytes = ReadDescriptionFile(FileName);
  auto ini = MakeIni(SplitSkinLines(DecodeSkinText(bytes)));
  if (!IsValidSkinIni(*ini)) return;
  Empty = true;
  ChangeSkinDataProcess = true;
  try {
    SendSkinDataMessage(WM_BEFORE_CHANGE_SKIN_DATA);
    ClearAll();
    std::string folder = rtl::ExtractFilePath(FileName);
    ReadVersionAndNames(*ini);
    TPixelBudget budget;
    if (!FPictureName.empty()) FPicture = LoadPictureFile(folder + FPictureName);
    if (!FInActivePictureName.empty()) FInActivePicture = LoadPictureFile(folder + FInActivePictureName);
    if (!FMaskName.empty()) FMask = LoadPictureFile(folder + FMaskName);
    budget.Take(FPicture.get());
    budget.Take(FInActivePicture.get());
    budget.Take(FMask.get());
    LoadActivePictures(*ini);
    for (const std::string& n : FActivePicturesNames) {
      FActivePictures.push_back(LoadPictureFile(folder + n));
      budget.Take(FActivePictures.back().get());
    }
    LoadDescription(*ini);
  } catch (...) {
    // Receivers got the before-change message: finish the change as an
    // empty skin so that none of them waits, then report the failure.
    ClearAll();
    FinishLoad(false);
    throw;
  }
  FinishLoad(true);
}

void TbsSkinData::LoadCompressedStoredSkin(TbsCompressedStoredSkin* AStoredSkin) {
  if (!AStoredSkin || AStoredSkin->Empty()) return;
  Empty = true;
  ChangeSkinDataProcess = true;
  try {
    SendSkinDataMessage(WM_BEFORE_CHANGE_SKIN_DATA);
    ClearAll();
    TbsSkinPayload p;
    AStoredSkin->ReadPayload(p);
    if (p.Version > 3) {
      FinishLoad(false);
      return;
    }
    CheckDescriptionSize(p.DescriptionBytes.size(), "stored skin");
    if (p.Picture) FPicture = std::move(p.Picture);
    if (p.InActivePicture) FInActivePicture = std::move(p.InActivePicture);
    if (p.Mask) FMask = std::move(p.Mask);
    FActivePictures = std::move(p.ActivePictures);
    auto ini = MakeIni(SplitSkinLines(DecodeSkinText(p.DescriptionBytes)));
    ReadVersionAndNames(*ini);
    LoadActivePictures(*ini);
    LoadDescription(*ini);
  } catch (...) {
    ClearAll();
    FinishLoad(false);
    throw;
  }
  FinishLoad(true);
}

void TbsSkinData::LoadFromCompressedFile(const std::string& FileName) {
  auto s = MakeOwned<TbsCompressedStoredSkin>(this);
  s->LoadFromCompressFile(FileName);
  if (!s->Empty()) LoadCompressedStoredSkin(s.get());
}

void TbsSkinData::SaveToFile(const std::string& FileName) {
  std::vector<std::string> lines;
  if (rtl::FileExists(FileName)) lines = SplitSkinLines(DecodeSkinText(ReadDescriptionFile(FileName)));
  auto ini = MakeIni(lines);
  SaveSkinSections(*ini);
  rtl::WriteFileBytes(FileName, EncodeSkinText(JoinLines(IniLines(*ini))));
}

void TbsSkinData::StoreToDisk(const std::string& AFileName) {
  SaveToFile(AFileName);
  std::string folder = rtl::ExtractFilePath(AFileName);
  std::vector<std::string> problems;
  auto save = [&](const std::unique_ptr<TBitmap>& B, const std::string& Name) {
    if (PictureEmpty(B.get()) || Name.empty()) return;
    // Names come from the skin's text; one that leaves the folder is not
    // written (a stored skin must not place files elsewhere).
    if (Name.find('/') != std::string::npos || Name.find('\\') != std::string::npos || Name == "." || Name == "..") {
      problems.push_back("picture name \"" + Name + "\" is not a plain file name");
      return;
    }
    B->SaveToFile(folder + Name);
  };
  save(FPicture, FPictureName);
  save(FInActivePicture, FInActivePictureName);
  save(FMask, FMaskName);
  if (!FActivePicturesNames.empty()) {
    // A stored skin's names come from its text and its pictures from its
    // payload; write the pairs that exist and report a difference.
    size_t n = std::min(FActivePicturesNames.size(), FActivePictures.size());
    for (size_t i = 0; i < n; ++i) save(FActivePictures[i], FActivePicturesNames[i]);
    if (FActivePicturesNames.size() != FActivePictures.size())
      problems.push_back("the skin names " + std::to_string(FActivePicturesNames.size()) +
                         " active pictures but holds " + std::to_string(FActivePictures.size()) + "; " +
                         std::to_string(n) + " were written");
  }
  if (!problems.empty()) {
    std::string msg = "Skin stored incompletely: ";
    for (size_t i = 0; i < problems.size(); ++i) msg += (i ? "; " : "") + problems[i];
    throw rtl::Exception(msg);
  }
}

void TbsSkinData::SaveToCompressedFile(const std::string& FileName) {
  auto s = MakeOwned<TbsCompressedStoredSkin>(this);
  s->LoadFromSkinData(*this);
  s->SaveToCompressFile(FileName);
}

void TbsSkinData::AddBitMap(const std::string& FileName) {
  auto b = LoadPictureFile(FileName);
  FActivePicturesNames.push_back(rtl::ExtractFileName(FileName));
  FActivePictures.push_back(std::move(b));
}

void TbsSkinData::DeleteBitMap(int Index) {
  if (Index < 0 || size_t(Index) >= FActivePictures.size() || size_t(Index) >= FActivePicturesNames.size())
    throw rtl::EListError("List index out of bounds (" + std::to_string(Index) + ")");
  FActivePicturesNames.erase(FActivePicturesNames.begin() + Index);
  FActivePictures.erase(FActivePictures.begin() + Index);
}

// --- sections ---------------------------------------------------------------------

void TbsSkinData::DescribeFormInfo(TbsSkinKeys& K) {
  K.Point("lefttoppoint", LTPoint);
  K.Point("righttoppoint", RTPoint);
  K.Point("leftbottompoint", LBPoint);
  K.Point("rightbottompoint", RBPoint);
  K.Rect("clientrect", ClRect);
  K.Int("bgpictureindex", BGPictureIndex, -1);
  K.Int("mdibgpictureindex", MDIBGPictureIndex, -1);
  K.Flag("leftstretch", LeftStretch);
  K.Flag("rightstretch", RightStretch);
  K.Flag("topstretch", TopStretch);
  K.Flag("bottomstretch", BottomStretch);
  K.Flag("stretcheffect", StretchEffect);
  K.StretchType("stretchtype", StretchType);
  K.Flag("mdibgstretcheffect", MDIBGStretchEffect);
  K.StretchType("mdibgstretchtype", MDIBGStretchType);
  K.Rect("maskrectarea", MaskRectArea);
  K.Point("hittestlefttoppoint", HitTestLTPoint);
  K.Point("hittestrighttoppoint", HitTestRTPoint);
  K.Point("hittestleftbottompoint", HitTestLBPoint);
  K.Point("hittestrightbottompoint", HitTestRBPoint);
  if (K.Loading() && !FMaskName.empty()) {
    if (IsNullRect(MaskRectArea)) {
      MaskRectArea = ClRect;
    } else {
      MaskRectArea.Left = std::min(MaskRectArea.Left, ClRect.Left);
      MaskRectArea.Top = std::min(MaskRectArea.Top, ClRect.Top);
      MaskRectArea.Right = std::max(MaskRectArea.Right, ClRect.Right);
      MaskRectArea.Bottom = std::max(MaskRectArea.Bottom, ClRect.Bottom);
    }
    if (IsNullPoint(HitTestLTPoint)) HitTestLTPoint = LTPoint;
    if (IsNullPoint(HitTestRTPoint)) HitTestRTPoint = RTPoint;
    if (IsNullPoint(HitTestLBPoint)) HitTestLBPoint = LBPoint;
    if (IsNullPoint(HitTestRBPoint)) HitTestRBPoint = RBPoint;
  }
  K.Rect("buttonsrect", ButtonsRect);
  K.Rect("captionrect", CaptionRect);
  K.Int("buttonsoffset", ButtonsOffset, 0);
  K.Flag("buttonsinleft", CapButtonsInLeft);
  K.Flag("mainmenupopupup", MainMenuPopupUp);
  K.Int("borderwidth", BorderW, 0);
  if (K.Loading()) {
    K.Int("formminwidth", FormMinWidth, 0);
    K.Flag("mditabstransparent", MDITabsTransparent);
    K.Flag("mainmenubartransparent", MainMenuBarTransparent);
    K.Flag("autorenderinginactiveimage", AutoRenderingInActiveImage);
    K.InActiveEffect("inactiveeffect", InActiveEffect);
    if (RBPoint.X == LTPoint.X || RBPoint.Y == LTPoint.Y) return;
    LTPoint.X = std::max(LTPoint.X, ClRect.Left);
    LBPoint.X = std::max(LBPoint.X, ClRect.Left);
    LTPoint.Y = std::max(LTPoint.Y, ClRect.Top);
    RTPoint.Y = std::max(RTPoint.Y, ClRect.Top);
    RTPoint.X = std::min(RTPoint.X, ClRect.Right);
    RBPoint.X = std::min(RBPoint.X, ClRect.Right);
    LBPoint.Y = std::min(LBPoint.Y, ClRect.Bottom);
    RBPoint.Y = std::min(RBPoint.Y, ClRect.Bottom);
  } else {
    K.Flag("autorenderinginactiveimage", AutoRenderingInActiveImage);
    K.InActiveEffect("inactiveeffect", InActiveEffect);
    K.Int("formminwidth", FormMinWidth, 0);
    K.Flag("mditabstransparent", MDITabsTransparent);
    K.Flag("mainmenubartransparent", MainMenuBarTransparent);
  }
}

void TbsSkinData::LoadFormInfo(TIniFile& F) {
  TbsSkinKeyReader r(F, "FORMINFO");
  DescribeFormInfo(r);
}

void TbsSkinData::SaveFormInfo(TIniFile& F) {
  F.EraseSection("FORMINFO");
  TbsSkinKeyWriter w(F, "FORMINFO");
  DescribeFormInfo(w);
}

void TbsSkinData::SplitSkinEntry(const std::string& AEntry, std::string& AName, std::string& AType) {
  size_t colon = AEntry.find(':');
  if (colon == std::string::npos) {
    AName.clear();
    AType.clear();
    return;
  }
  AName = AEntry.substr(0, colon);
  AType = AEntry.substr(colon + 1);
}

namespace {
// A record keeps its keys in the section of its name, so a record named like
// one of the store's own sections would read the store's keys and, written
// back, erase them. Such names are kept out of the record lists.
bool IsStoreSectionName(const std::string& Name) {
  static const char* const kStoreSections[] = {"version",    "pictures",   "forminfo",    "popupwindow", "layerframe",
                                               "hintwindow", "skincolors", "skinobjects", "skincontrols"};
  const std::string lower = rtl::LowerCase(rtl::Trim(Name));
  for (const char* s : kStoreSections)
    if (lower == s) return true;
  return false;
}
}  // namespace

void TbsSkinData::LoadObjects(TIniFile& F) {
  for (const auto& [i, entry] : ReadIndexEntries(F, "SKINOBJECTS")) {
    (void)i;
    std::string name, type;
    SplitSkinEntry(entry, name, type);
    if (IsStoreSectionName(name)) continue;
    auto rec = CreateObjectRecord(type, name);
    if (!rec) continue;
    ObjectList.push_back(std::move(rec));
    ObjectList.back()->LoadFromFile(F);
  }
}

void TbsSkinData::LoadCtrls(TIniFile& F) {
  for (const auto& [i, entry] : ReadIndexEntries(F, "SKINCONTROLS")) {
    (void)i;
    std::string name, type;
    SplitSkinEntry(entry, name, type);
    if (IsStoreSectionName(name)) continue;
    auto rec = CreateControlRecord(type, name);
    if (!rec) continue;
    CtrlList.push_back(std::move(rec));
    CtrlList.back()->LoadFromFile(F);
  }
}

void TbsSkinData::LoadActivePictures(TIniFile& F) {
  FActivePicturesNames.clear();
  ReadStrings(F, "PICTURES", "activepictures", FActivePicturesNames);
}

void TbsSkinData::SaveActivePictures(TIniFile& F) {
  WriteStrings(F, "PICTURES", "activepictures", FActivePicturesNames);
}

namespace {
// Writes the index section and every record's own section; a record made in
// code under one of the store's section names is left out.
template <class TList>
void SaveRecordList(TIniFile& F, const char* Section, const TList& List) {
  F.EraseSection(Section);
  int n = 0;
  for (const auto& r : List) n += IsStoreSectionName(r->IDName) ? 0 : 1;
  WriteSkinInteger(F, Section, "count", n);
  int i = 0;
  for (const auto& r : List) {
    if (IsStoreSectionName(r->IDName)) continue;
    F.WriteString(Section, std::to_string(i++), r->IDName + ":" + r->TypeKeyword());
    r->SaveToFile(F);
  }
}
}  // namespace

void TbsSkinData::SaveObjects(TIniFile& F) { SaveRecordList(F, "SKINOBJECTS", ObjectList); }

void TbsSkinData::SaveCtrls(TIniFile& F) { SaveRecordList(F, "SKINCONTROLS", CtrlList); }

void TbsSkinData::SaveSkinSections(TIniFile& F) {
  F.EraseSection("VERSION");
  F.WriteString("VERSION", "ver", "1");
  F.WriteString("VERSION", "skinname", SkinName);
  F.WriteString("VERSION", "skinauthor", SkinAuthor);
  F.WriteString("VERSION", "authoremail", AuthorEmail);
  F.WriteString("VERSION", "authorurl", AuthorURL);
  F.WriteString("VERSION", "skincomments", SkinComments);
  F.EraseSection("PICTURES");
  F.WriteString("PICTURES", "picture", FPictureName);
  F.WriteString("PICTURES", "inactivepicture", FInActivePictureName);
  F.WriteString("PICTURES", "mask", FMaskName);
  SaveActivePictures(F);
  SaveFormInfo(F);
  PopupWindow.SaveToFile(F);
  LayerFrame.SaveToFile(F);
  HintWindow.SaveToFile(F);
  F.EraseSection("SKINCOLORS");
  FSkinColors.SaveToFile(F);
  SaveObjects(F);
  SaveCtrls(F);
}

// --- properties ----------------------------------------------------------------------

void TbsSkinData::SetSkinnableForm(bool AValue) {
  if (FSkinnableForm == AValue) return;
  FSkinnableForm = AValue;
  SendSkinDataMessage(WM_CHANGE_SKINNABLE_FORM);
}

void TbsSkinData::SetShowLayeredBorders(bool AValue) {
  if (FShowLayeredBorders == AValue) return;
  FShowLayeredBorders = AValue;
  SendSkinDataMessage(WM_CHANGE_LAYERED_BORDERS);
}

void TbsSkinData::SetCompressedStoredSkin(TbsCompressedStoredSkin* AValue) {
  FCompressedStoredSkin = AValue;
  if (AValue) AValue->FreeNotification(this);
  if (FCompressedStoredSkin) LoadCompressedStoredSkin(FCompressedStoredSkin);
}

void TbsSkinData::SetResourceStrData(TbsResourceStrData* AValue) {
  FResourceStrData = AValue;
  if (AValue) AValue->FreeNotification(this);
  SendSkinDataMessage(WM_CHANGE_RESOURCE_STR_DATA);
}

void TbsSkinData::SetSkinList(TbsCompressedSkinList* AValue) {
  FCompressedSkinList = AValue;
  if (AValue) AValue->FreeNotification(this);
  if (FCompressedSkinList && FCompressedSkinIndex >= 0 && FCompressedSkinIndex < FCompressedSkinList->Skins().Count())
    LoadCompressedStoredSkin(&FCompressedSkinList->Skins().Items(FCompressedSkinIndex)->Skin());
}

void TbsSkinData::SetSkinIndex(int AValue) {
  if (AValue == FCompressedSkinIndex) return;
  if (!FCompressedSkinList) {
    FCompressedSkinIndex = AValue;
    return;
  }
  if (AValue < 0 || AValue >= FCompressedSkinList->Skins().Count()) return;
  FCompressedSkinIndex = AValue;
  LoadCompressedStoredSkin(&FCompressedSkinList->Skins().Items(AValue)->Skin());
}

void TbsSkinData::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove || !AComponent) return;
  if (AComponent == FCompressedStoredSkin) FCompressedStoredSkin = nullptr;
  if (AComponent == FResourceStrData) FResourceStrData = nullptr;
  if (AComponent == FCompressedSkinList) FCompressedSkinList = nullptr;
}

// --- dump ---------------------------------------------------------------------------

namespace {
void DumpPicture(std::ostream& Out, const char* What, const std::string& Name, TBitmap* B) {
  Out << "  " << What << " = " << (Name.empty() ? "(none)" : Name);
  if (!PictureEmpty(B)) Out << "  [" << B->Width() << "x" << B->Height() << "]";
  Out << "\n";
}

void DumpKeys(std::ostream& Out, const std::vector<std::pair<std::string, std::string>>& Items) {
  for (const auto& [k, v] : Items) Out << "  " << k << " = " << v << "\n";
}
}  // namespace

void TbsSkinData::Dump(std::ostream& Out) {
  Out << "[VERSION]\n  skinname = " << SkinName << "\n  skinauthor = " << SkinAuthor
      << "\n  authoremail = " << AuthorEmail << "\n  authorurl = " << AuthorURL << "\n  skincomments = " << SkinComments
      << "\n";
  Out << "[PICTURES]\n";
  DumpPicture(Out, "picture", FPictureName, FPicture.get());
  DumpPicture(Out, "inactivepicture", FInActivePictureName, FInActivePicture.get());
  DumpPicture(Out, "mask", FMaskName, FMask.get());
  size_t n = std::max(FActivePictures.size(), FActivePicturesNames.size());
  for (size_t i = 0; i < n; ++i) {
    std::string what = "activepictures" + std::to_string(i);
    DumpPicture(Out, what.c_str(), i < FActivePicturesNames.size() ? FActivePicturesNames[i] : std::string(),
                i < FActivePictures.size() ? FActivePictures[i].get() : nullptr);
  }
  TbsSkinKeyLister l;
  DescribeFormInfo(l);
  Out << "[FORMINFO]\n";
  DumpKeys(Out, l.Items);
  TbsSkinKeyLister pw, lf, hw, sc;
  PopupWindow.DescribeKeys(pw);
  LayerFrame.DescribeKeys(lf);
  HintWindow.DescribeKeys(hw);
  FSkinColors.DescribeKeys(sc);
  Out << "[POPUPWINDOW]\n";
  DumpKeys(Out, pw.Items);
  Out << "[LAYERFRAME]\n";
  DumpKeys(Out, lf.Items);
  Out << "[HINTWINDOW]\n";
  DumpKeys(Out, hw.Items);
  Out << "[SKINCOLORS]\n";
  DumpKeys(Out, sc.Items);
  Out << "[SKINOBJECTS] " << ObjectList.size() << " records\n";
  for (auto& r : ObjectList) {
    Out << "[" << r->IDName << "] " << r->ClassName() << " (" << r->TypeKeyword() << ")\n";
    DumpKeys(Out, r->ListKeys());
  }
  Out << "[SKINCONTROLS] " << CtrlList.size() << " records\n";
  for (auto& r : CtrlList) {
    Out << "[" << r->IDName << "] " << r->ClassName() << " (" << r->TypeKeyword() << ")\n";
    DumpKeys(Out, r->ListKeys());
  }
}

}  // namespace skin
