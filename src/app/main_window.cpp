#include "app/main_window.h"

#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QWindow>

#include "app/pages/advanced_page_view.h"
#include "app/pages/control_factory.h"
#include "app/pages/fire_keys_view.h"
#include "app/pages/light_page_view.h"
#include "app/pages/macro_page_view.h"
#include "app/pages/pages.h"
#include "app/skin/layout_applier.h"
#include "app/skin/skin_button.h"
#include "app/skin/skin_picture.h"
#include "keys/key_layers.h"
#include "keys/layer_entry.h"
#include "session/page_result.h"
#include "session/pc_library_opening.h"
#include "session/whole_image_operations.h"
#include "shell/language_file.h"

namespace corvid::app {
namespace {

constexpr auto kCaption = "Corvid88 Gaming Mouse v1.0";
// The colour of the skin that is cut out of the window.
constexpr QRgb kColourKey = qRgb(128, 0, 0);

// The family of page-button pictures of each page, in page order.
constexpr std::array<const char*, 7> kPageFamilies{"Main",   "Switch", "Fixed", "Adv",
                                                   "Breath", "Macro",  "Update"};

int PageBoxOf(Page page) {
  switch (page) {
    case Page::kMain:
    case Page::kSwitch:
    case Page::kFixed:
      return 1;
    case Page::kAdvanced:
      return 2;
    case Page::kBreath:
      return 3;
    case Page::kMacro:
      return 4;
    case Page::kUpdate:
      return 5;
  }
  return 1;
}

bool IsLayerPage(Page page) { return PageBoxOf(page) == 1; }

// "Btn_Main_3" -> ("Main", 3); other names give copy 0.
std::pair<QString, int> FamilyAndCopy(const QString& name) {
  const qsizetype last = name.lastIndexOf(QLatin1Char('_'));
  bool number = false;
  const int copy = last > 0 ? name.mid(last + 1).toInt(&number) : 0;
  if (!number || !name.startsWith(QLatin1String("Btn_"))) return {name, 0};
  return {name.mid(4, last - 4), copy};
}

}  // namespace

MainWindow::MainWindow(device::HidBus& bus, device::Clock& clock, session::SessionSetup setup,
                       const std::filesystem::path& libraryFile, UserDialogs& dialogs,
                       platform::PointerSettingsStore& pointerStore)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      dialogs_(dialogs),
      pointerStore_(pointerStore) {
  // Two slow first steps run beside the making of the key page: loading the font (the font
  // database's first look-up reads the system's whole font configuration), and decoding the two
  // large pictures on show at start.
  fontLoader_ = std::thread([font = QGuiApplication::font()] {
    (void)QFontMetrics(font).horizontalAdvance(QLatin1Char('M'));
  });
  const int requestedLanguage = setup.CurrentLanguage;
  skin_.DecodeAhead({QStringLiteral("L%1_BackGround").arg(requestedLanguage),
                     QStringLiteral("L%1_Back1").arg(requestedLanguage)});
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromLatin1(kCaption));
  setAccessibleName(QString::fromLatin1(kCaption));
  setFixedSize(kWidth, kHeight);
  // Controls without a colour of the layout take the skin's: light text on graphite.
  QPalette dark = palette();
  dark.setColor(QPalette::Window, QColor(0x12, 0x15, 0x19));
  dark.setColor(QPalette::WindowText, QColor(0xc8, 0xd0, 0xd8));
  dark.setColor(QPalette::Base, QColor(0x15, 0x19, 0x1e));
  dark.setColor(QPalette::AlternateBase, QColor(0x1b, 0x20, 0x26));
  dark.setColor(QPalette::Text, QColor(0xd8, 0xe0, 0xe6));
  dark.setColor(QPalette::Button, QColor(0x1b, 0x20, 0x26));
  dark.setColor(QPalette::ButtonText, QColor(0xd8, 0xe0, 0xe6));
  dark.setColor(QPalette::Highlight, QColor(0x0e, 0x74, 0x90));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  setPalette(dark);
  InstallSkinAccessibility();
  setup.CurrentLanguage = 1;

  busy_ = std::make_unique<BusyWindowQt>(this);
  session_ = std::make_unique<session::Session>(bus, clock, *busy_, *this, setup);

  // The tray icon comes once the window is on screen: asking the desktop for a tray costs a
  // round trip the first frame need not wait for.
  QTimer::singleShot(0, this, &MainWindow::AddTrayIcon);

  // Centred on the screen, as the division of the screen's size rounds.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.left() + (area.width() - kWidth) / 2, area.top() + (area.height() - kHeight) / 2);
  }

  BuildPageBoxes();
  context_ = std::make_unique<WindowContext>(WindowContext{
      this, *session_, controls_, style_, skin_, dialogs_, pageModel_, pointerStore_});
  BuildPage(1);
  ShowPageBox(1);
  LoadSkin();
  if (const auto layout = shell::LoadLayoutResource("ORG")) layout_ = *layout;
  const session::PcLibraryOpening library = session::OpenPcMacroLibrary(*session_, libraryFile);
  if (!library.ok || !library.warning.empty()) {
    dialogs_.ShowMessage(this, FromUtf8(library.ok ? library.warning : library.message), false);
  }
  ApplyLayoutAndLanguage(requestedLanguage);
  SetUpListsAndEdits();
  session_->InitNoDevice();
  SelectLanguagePictures();
  QGuiApplication::setApplicationDisplayName(Text("Title"));
  ConnectControls(0);
  keyPage_->Connect();
  fontLoader_.join();
  ready_ = true;

  devTimer_.setInterval(kDevTimerInterval);
  connect(&devTimer_, &QTimer::timeout, this, [this] { session_->DevTimerTimer(); });
  devTimer_.start();
  labelRun_.setInterval(kLabelRunInterval);
  connect(&labelRun_, &QTimer::timeout, this, &MainWindow::LabelRunTimer);
}

void MainWindow::AddTrayIcon() {
  // The tray icon shows the window and quits the tool.
  if (tray_ || !QSystemTrayIcon::isSystemTrayAvailable()) return;
  tray_ = new QSystemTrayIcon(windowIcon(), this);
  auto* menu = new QMenu(this);
  menu->addAction(QString::fromLatin1(kCaption), this, [this] {
    showNormal();
    raise();
    activateWindow();
  });
  menu->addAction(QStringLiteral("Exit"), this, &QWidget::close);
  tray_->setContextMenu(menu);
  connect(tray_, &QSystemTrayIcon::activated, this, [this] {
    showNormal();
    raise();
    activateWindow();
  });
  if (session_) {
    tray_->setToolTip(QString::fromLatin1(kCaption) + QStringLiteral(": ") +
                      FromUtf8(session::ConnectionStateText(session_->State())));
  }
  tray_->show();
}

MainWindow::~MainWindow() {
  devTimer_.stop();
  session_->FormCloseQuery();
}

QString MainWindow::Text(const char* key) const { return FromUtf8(session_->Text(key)); }

PageView& MainWindow::View(int n) {
  EnsurePage(n == 6 ? 2 : n);
  return *views_.at(static_cast<std::size_t>(n - 1));
}

void MainWindow::EnsurePage(int n) {
  if (!PageBuilt(n)) BuildPage(n);
}

void MainWindow::BuildPageBoxes() {
  ControlFactory factory(skin_, controls_);
  for (int n = 1; n <= kPageCount; ++n) {
    QWidget* box = factory.Group(this, QStringLiteral("gbPage%1").arg(n), rect());
    pageBoxes_[static_cast<std::size_t>(n - 1)] = box;
    SkinPicture* base = factory.Picture(box, QStringLiteral("Img_Base_%1").arg(n), {},
                                        SkinPicture::Role::kBackground);
    base->setGeometry(rect());
  }
}

void MainWindow::BuildPage(int n) {
  built_.at(static_cast<std::size_t>(n - 1)) = true;
  const std::size_t firstNew = controls_.InOrder().size();
  ControlFactory factory(skin_, controls_);
  std::vector<PageView*> made;
  const auto add = [&](std::size_t index, std::unique_ptr<PageView> view) {
    made.push_back(view.get());
    views_.at(index) = std::move(view);
  };
  switch (n) {
    case 1: {
      BuildKeyPage(factory, PageBox(1));
      auto keyPage = std::make_unique<KeyPageView>(*context_);
      keyPage_ = keyPage.get();
      add(0, std::move(keyPage));
      break;
    }
    case 2: {
      BuildAdvancedPage(factory, PageBox(2));
      auto advancedPage = std::make_unique<AdvancedPageView>(*context_);
      advancedPage_ = advancedPage.get();
      add(1, std::move(advancedPage));
      // Not a page of its own: the fire and aim keys live on the Advanced page.
      add(5, std::make_unique<FireKeysView>(*context_));
      break;
    }
    case 3:
      BuildLightPage(factory, PageBox(3));
      add(2, std::make_unique<LightPageView>(*context_));
      break;
    case 4:
      BuildMacroPage(factory, PageBox(4));
      add(3, std::make_unique<MacroPageView>(*context_));
      break;
    default: {
      BuildUpdatePage(factory, PageBox(5));
      auto updatePage = std::make_unique<UpdatePageView>(*context_);
      updatePage_ = updatePage.get();
      add(4, std::move(updatePage));
      break;
    }
  }
  // The border lies above the page's own controls; the function menus above everything.
  const std::size_t firstOfBorder = controls_.InOrder().size();
  BuildBorder(factory, PageBox(n), n);
  if (n > 1) {
    // The new copy of the border shows what the others show: the page and language selected,
    // the button last pressed.
    const QString copy = QStringLiteral("_%1").arg(n);
    for (std::size_t i = firstOfBorder; i < controls_.InOrder().size(); ++i) {
      auto* picture = qobject_cast<SkinPicture*>(controls_.InOrder()[i]);
      if (!picture || !picture->objectName().endsWith(copy)) continue;
      const QString first = picture->objectName().chopped(copy.size()) + QStringLiteral("_1");
      if (const auto* model = controls_.Get<SkinPicture>(first)) {
        picture->SetPicture(model->SkinName());
      }
    }
  }
  for (const MenuPanelSpec& panel : KeyMenuPanels()) controls_.Find(panel.name)->raise();
  if (QWidget* names = controls_.Find(QStringLiteral("LB_Name"))) names->raise();
  PlaceWebButton();
  if (advancedPage_ && n == 2) advancedPage_->RefreshPointerSettings();
  if (n == 1) {
    // Without a mouse the key labels can be looked at, not changed.
    controls_.Find(QStringLiteral("Disable"))->show();
  }
  // At start the window lays out, labels and connects what it has all at once.
  if (!ready_) return;
  ApplyLayout();
  SetUpListsAndEdits();
  SelectLanguagePictures();
  ConnectControls(firstNew);
  for (PageView* view : made) {
    view->Connect();
    // What the other pages were last told of the mouse.
    if (pagesFilled_) {
      view->Refresh();
    } else {
      view->ResetForNoDevice();
    }
  }
}

void MainWindow::SetUpListsAndEdits() {
  for (const char* list : {"LB_PCMacroName", "LB_MacroName", "LB_macro"}) {
    auto* widget = controls_.Get<QListWidget>(list);
    if (!widget || widget->uniformItemSizes()) continue;
    widget->setUniformItemSizes(true);
    widget->setStyleSheet(
        QStringLiteral("QListWidget::item { height: %1px; }").arg(style_.macroNameHeight));
  }
  for (const char* edit :
       {"Edt_Repeat1", "Edt_Repeat2", "Edt_Repeat3", "Edt_DelayTime1", "Edt_DelayTime2",
        "Edt_DelayTime3", "edt_XAxisValue", "edt_YAxisValue"}) {
    if (auto* widget = controls_.Get<QLineEdit>(edit)) widget->setAlignment(Qt::AlignRight);
  }
}

void MainWindow::ConnectControls(std::size_t firstNew) {
  const std::vector<QWidget*>& all = controls_.InOrder();
  for (std::size_t i = firstNew; i < all.size(); ++i) {
    QWidget* control = all[i];
    auto* picture = qobject_cast<SkinPicture*>(control);
    if (picture && picture->PictureRole() == SkinPicture::Role::kBackground) {
      connect(picture, &SkinPicture::BackgroundPressed, this, [this] {
        HideAllMenu();
        if (QWindow* window = windowHandle()) window->startSystemMove();
      });
    }
    auto* button = qobject_cast<SkinButton*>(control);
    if (!button) continue;
    connect(button, &SkinButton::Entered, this, [this, button] { OnButtonEntered(button); });
    connect(button, &SkinButton::Left, this, [this, button] { OnButtonLeft(button); });
    const auto [family, copy] = FamilyAndCopy(button->objectName());
    if (copy == 0) continue;
    const auto on = [this, button](auto handler) {
      connect(button, &SkinButton::clicked, this, handler);
    };
    for (std::size_t p = 0; p < kPageFamilies.size(); ++p) {
      if (family == QLatin1String(kPageFamilies[p])) {
        on([this, p] { PageButtonClick(static_cast<Page>(p + 1)); });
      }
    }
    if (family == QLatin1String("Save")) on([this] { SaveProfileClick(); });
    if (family == QLatin1String("Load")) on([this] { LoadProfileClick(); });
    if (family == QLatin1String("Reset")) on([this] { ResetClick(); });
    if (family == QLatin1String("Exit")) on([this] { close(); });
    if (family == QLatin1String("Web")) on([this] { WebClick(); });
    for (int language = 1; language <= shell::kLanguageCount; ++language) {
      if (family == QStringLiteral("Lang%1").arg(language)) {
        on([this, language] { LanguageButtonClick(language); });
      }
    }
  }
}

void MainWindow::SetPicture(const QString& pictureName, const QString& skinName) {
  if (auto* picture = controls_.Get<SkinPicture>(pictureName)) picture->SetPicture(skinName);
}

void MainWindow::SetCopies(const QString& family, const QString& skinName) {
  for (int n = 1; n <= kPageCount; ++n) {
    SetPicture(QStringLiteral("Img_%1_%2").arg(family).arg(n), skinName);
  }
}

void MainWindow::LoadSkin() {
  // The backgrounds come with the language (ApplyLayoutAndLanguage); the other pages' pictures
  // are decoded when their page is first opened (ShowPagePicture): start-up stays quick, and a
  // page never opened costs no memory.
  SetCopies(QStringLiteral("Main"), QStringLiteral("SetS_02"));
  SetCopies(QStringLiteral("Lang1"), QStringLiteral("SetS_02"));
}

void MainWindow::PlaceWebButton() {
  const shell::ProductSettings& settings = session_->ProductSettings();
  for (int n = 1; n <= kPageCount; ++n) {
    QWidget* picture = controls_.Find(QStringLiteral("Img_Web_%1").arg(n));
    QWidget* label = controls_.Find(QStringLiteral("Btn_Web_%1").arg(n));
    if (!picture || !label) continue;  // the border of a page not built yet
    picture->move(settings.webX, settings.webY);
    label->setGeometry(QRect(QPoint(settings.webX, settings.webY), picture->size()));
    label->setAccessibleName(FromUtf8(settings.web));
    // A button placed outside the window is the skin's way of leaving it out.
    const bool inside = rect().contains(QRect(label->pos(), label->size()));
    picture->setVisible(inside);
    label->setVisible(inside);
  }
}

void MainWindow::ApplyWindowShape() {
  // The shape of each language's background is worked out once.
  const int language = CurrentLanguage();
  auto shape = shapes_.find(language);
  if (shape == shapes_.end()) {
    const QPixmap background = skin_.Picture(QStringLiteral("L%1_BackGround").arg(language));
    // From the picture's own pixels: QPixmap::createMaskFromColor would first make an ARGB copy of
    // the whole background (1.9 MB) to compare colours that have no alpha.
    const QImage pixels = background.toImage();
    QBitmap mask;
    if (!pixels.isNull()) {
      mask =
          QBitmap::fromImage(pixels.createMaskFromColor(QColor(kColourKey).rgb(), Qt::MaskInColor));
    }
    shape = shapes_.insert(language, mask);
  }
  if (shape->isNull()) {
    clearMask();
  } else {
    setMask(*shape);
  }
}

void MainWindow::ApplyLayoutAndLanguage(int language) {
  session_->SetCurrentLanguage(language);
  for (int n = 1; n <= kPageCount; ++n) {
    SetPicture(QStringLiteral("Img_Base_%1").arg(n),
               QStringLiteral("L%1_BackGround").arg(language));
  }
  ShowPagePicture();
  ApplyWindowShape();
  ApplyLayout();
}

void MainWindow::ApplyLayout() {
  const int language = CurrentLanguage();
  const LayoutApplyResult applied = ApplyLayoutSection(
      layout_, language, session_->ProductSettings().ledType, updateAvailable_, controls_, style_);
  // Said once, not again for every page built later.
  const bool known = applied.badKey == layoutError_;
  layoutError_ = applied.badKey;
  if (!applied.ok && !known) {
    dialogs_.ShowMessage(this,
                         QStringLiteral("The layout of language %1 lacks the number \"%2\"; the "
                                        "window is laid out only in part.")
                             .arg(language)
                             .arg(applied.badKey),
                         false);
  }
  ApplyLanguageTexts(language);
}

void MainWindow::ApplyLanguageTexts(int language) {
  const shell::LanguageFile& texts = shell::BuiltInLanguageFile(language);
  for (const BorderButtonSpec& kind : BorderButtons()) {
    if (*kind.key == '\0') continue;
    const QString caption = FromUtf8(texts.Text(kind.key));
    for (int n = 1; n <= kPageCount; ++n) {
      if (auto* button =
              controls_.Get<SkinButton>(QStringLiteral("Btn_%1_%2").arg(kind.name).arg(n))) {
        button->SetCaption(caption);
      }
    }
  }
  for (const auto& view : views_) {
    if (view) view->ApplyTexts(texts);
  }
}

void MainWindow::SelectLanguagePictures() {
  for (int language = 1; language <= shell::kLanguageCount; ++language) {
    SetCopies(QStringLiteral("Lang%1").arg(language), language == CurrentLanguage()
                                                          ? QStringLiteral("SetS_02")
                                                          : QStringLiteral("SetS_01"));
  }
}

void MainWindow::LanguageButtonClick(int language) {
  if (language < 1 || language > shell::kLanguageCount) return;
  auto* insertItems = controls_.Get<QComboBox>(QStringLiteral("CB_Insert"));
  const int insertItem = insertItems ? insertItems->currentIndex() : -1;
  ApplyLayoutAndLanguage(language);
  SelectLanguagePictures();
  if (insertItems) insertItems->setCurrentIndex(insertItem);
  QGuiApplication::setApplicationDisplayName(Text("Title"));
  ShowPageBox(session_->ErrorState() ? 1 : PageBoxOf(page_));
  // A caption running under the pointer goes on in the new language.
  if (marqueeLabel_) {
    marqueeCounter_ = 0;
    marqueeText_ = marqueeLabel_->Caption();
  }
}

int MainWindow::VisiblePageBox() const {
  for (int n = 1; n <= kPageCount; ++n) {
    if (!PageBox(n)->isHidden()) return n;
  }
  return 0;
}

void MainWindow::ShowPageBox(int n) {
  for (int box = 1; box <= kPageCount; ++box) PageBox(box)->setVisible(box == n);
}

void MainWindow::ShowPagePicture() {
  const int language = CurrentLanguage();
  switch (PageBoxOf(page_)) {
    case 1:
      SetPicture(QStringLiteral("Img_P1"), QStringLiteral("L%1_Back1").arg(language));
      break;
    case 2:
      SetPicture(QStringLiteral("Img_P2"), QStringLiteral("L%1_Back2").arg(language));
      break;
    case 3:
      SetPicture(QStringLiteral("Img_P3"), QStringLiteral("L%1_Back3").arg(language));
      break;
    case 4:
      SetPicture(QStringLiteral("Img_P4"), QStringLiteral("L%1_Back4").arg(language));
      break;
    default:
      SetPicture(QStringLiteral("Img_P5"), QStringLiteral("Update"));
      break;
  }
}

void MainWindow::ButtonTypeB_1IconInit() {
  for (const char* family : kPageFamilies) SetCopies(family, QStringLiteral("SetS_01"));
  SetCopies(QStringLiteral("Save"), QStringLiteral("SetS_01"));
  SetCopies(QStringLiteral("Load"), QStringLiteral("SetS_01"));
}

void MainWindow::HideAllMenu() {
  for (const MenuPanelSpec& panel : KeyMenuPanels()) controls_.Find(panel.name)->hide();
  for (const char* name : {"LB_Name", "Pnl_PCMacro", "Pnl_DevMacro", "Pnl_DevContent"}) {
    if (QWidget* control = controls_.Find(name)) control->hide();
  }
}

bool MainWindow::PageButtonClick(Page page) {
  if (IsLayerPage(page)) {
    const int layer = static_cast<int>(page) - 1;
    const keys::LayerEntry entry =
        keys::EnterLayer(*session_, layer, keys::CaptionContextOf(*session_, &session_->Macros()));
    if (!session::IsStored(entry.result)) return false;
    HideAllMenu();
    ButtonTypeB_1IconInit();
    page_ = page;
    ShowPageBox(1);
    keyPage_->EnterLayer(entry);
  } else {
    if (session::RefusePageClick(*session_)) return false;
    EnsurePage(PageBoxOf(page));
    HideAllMenu();
    ButtonTypeB_1IconInit();
    page_ = page;
    ShowPageBox(PageBoxOf(page));
    controls_.Find(QStringLiteral("Disable"))->hide();
    View(PageBoxOf(page)).Enter();
  }
  SetCopies(QLatin1String(kPageFamilies[static_cast<std::size_t>(page) - 1]),
            QStringLiteral("SetS_02"));
  ShowPagePicture();
  return true;
}

void MainWindow::SaveProfileClick() {
  HideAllMenu();
  SetCopies(QStringLiteral("Save"), QStringLiteral("SetS_02"));
  if (session::TellIfNoMouse(*session_)) return;
  const QString file = dialogs_.ChooseFileToSave(this, QStringLiteral("SaveFile (*.bin)"));
  if (file.isEmpty()) return;
  session::SaveProfile(*session_, file.toStdString());
}

void MainWindow::LoadProfileClick() {
  HideAllMenu();
  SetCopies(QStringLiteral("Load"), QStringLiteral("SetS_02"));
  if (session::TellIfNoMouse(*session_)) return;
  const QString file = dialogs_.ChooseFileToOpen(this, QStringLiteral("LoadFile (*.bin)"));
  if (file.isEmpty()) return;
  session::LoadProfile(*session_, file.toStdString());
}

void MainWindow::ResetClick() {
  SetCopies(QStringLiteral("Reset"), QStringLiteral("BtnS_03"));
  session::ResetToDefaults(*session_);
}

void MainWindow::WebClick() {
  SetCopies(QStringLiteral("Web"), QStringLiteral("WebS_02"));
  const shell::ProductSettings& settings = session_->ProductSettings();
  if (settings.webEnabled) dialogs_.OpenWebAddress(FromUtf8(settings.web));
}

// ---- what the session asks of the window ----

void MainWindow::ShowMessage(const session::Message& message) {
  dialogs_.ShowMessage(this, FromUtf8(message.text), message.emptyCaption);
}

void MainWindow::RefreshPages() {
  pageModel_.Fill(*session_, &session_->Macros());
  pagesFilled_ = true;
  for (const auto& view : views_) {
    if (view) view->Refresh();
  }
}

void MainWindow::ResetPagesForNoDevice() {
  controls_.Find(QStringLiteral("Disable"))->show();
  HideAllMenu();
  StopMarquee();
  for (const char* list : {"LB_MacroName", "LB_Name"}) {
    if (auto* widget = controls_.Get<QListWidget>(list)) widget->clear();
  }
  pageModel_.ResetForNoDevice();
  pagesFilled_ = false;
  for (const auto& view : views_) {
    if (view) view->ResetForNoDevice();
  }
}

void MainWindow::ShowErrorPage() {
  ShowPageBox(1);
  ButtonTypeB_1IconInit();
  SetCopies(QStringLiteral("Main"), QStringLiteral("SetS_02"));
}

void MainWindow::RestorePagesAfterRead(bool updatePageAvailable) {
  // The computer's pointer settings may have changed while the mouse was away.
  if (advancedPage_) advancedPage_->RefreshPointerSettings();
  updateAvailable_ = updatePageAvailable;
  const bool placed =
      layout_.IntegerValue("org" + std::to_string(CurrentLanguage()), "Btn_B12_Enable") == 1;
  for (int n = 1; n <= kPageCount; ++n) {
    for (const QString& name :
         {QStringLiteral("Img_Update_%1").arg(n), QStringLiteral("Btn_Update_%1").arg(n)}) {
      if (QWidget* control = controls_.Find(name)) control->setVisible(placed && updateAvailable_);
    }
  }
  // A page that the mouse no longer offers is left for the key page.
  if (page_ == Page::kUpdate && !updateAvailable_) page_ = Page::kMain;
  if (IsLayerPage(page_)) {
    // The layer on show is entered again with its rules; one the mouse now gives no way into
    // (its KB switch or reset key is gone) leaves the page on Main Control.
    if (!PageButtonClick(page_)) PageButtonClick(Page::kMain);
  } else {
    ShowPageBox(PageBoxOf(page_));
  }
}

void MainWindow::UIToDataBuf(model::DataBuf&) { pageModel_.ToDataBuf(*session_); }

void MainWindow::SetMacroBindingOffered(bool offered) { keyPage_->SetMacroBindingOffered(offered); }

void MainWindow::ShowBusyOverlay() {}

void MainWindow::HideBusyOverlay() {}

void MainWindow::SetDevTimerEnabled(bool enabled) {
  if (enabled) {
    devTimer_.start();
  } else {
    devTimer_.stop();
  }
}

void MainWindow::ConnectionChanged(session::ConnectionState state) {
  if (tray_) {
    tray_->setToolTip(QString::fromLatin1(kCaption) + QStringLiteral(": ") +
                      FromUtf8(session::ConnectionStateText(state)));
  }
}

void MainWindow::LanguageChanged() {
  // The rules compare the key labels with texts of the language: take them again in the new one.
  pageModel_.key.captions =
      keys::LayerCaptions(session_->DataBuf(), pageModel_.key.layer,
                          keys::CaptionContextOf(*session_, &session_->Macros()));
  keyPage_->Refresh();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (busy_->IsBusy()) {
    event->ignore();
    return;
  }
  devTimer_.stop();
  session_->FormCloseQuery();
  event->accept();
  QApplication::quit();
}

// ---- button looks and the caption marquee ----

QString MainWindow::PictureOf(const SkinButton* button) const {
  const QString name = button->objectName();
  if (name.startsWith(QLatin1String("Btn_"))) return QStringLiteral("Img_") + name.mid(4);
  if (name.startsWith(QLatin1String("Key"))) return QStringLiteral("Img_") + name;
  return {};
}

void MainWindow::OnButtonEntered(SkinButton* button) {
  using T = SkinButton::Type;
  const QString picture = PictureOf(button);
  const auto [family, copy] = FamilyAndCopy(button->objectName());
  switch (button->ButtonType()) {
    case T::kA:
      SetCopies(family, QStringLiteral("BtnS_02"));
      break;
    case T::kB:
    case T::kD:
      SetPicture(picture, QStringLiteral("SetS_03"));
      break;
    case T::kC:
    case T::kE:
      SetPicture(picture, QStringLiteral("KeyS_02"));
      break;
    case T::kF:
    case T::kStart:
      SetPicture(picture, QStringLiteral("MacroS_02"));
      break;
    case T::kG:
      SetPicture(picture, QStringLiteral("MacroBtnS_02"));
      break;
    case T::kH:
      button->SetTextColour(Qt::white);
      button->SetBackground(palette().color(QPalette::Highlight));
      return;
    case T::kWeb:
      SetCopies(QStringLiteral("Web"), QStringLiteral("WebS_03"));
      return;
    case T::kPlain:
      if (button->parentWidget() && button->parentWidget()->objectName().startsWith("Pnl_")) {
        button->SetTextColour(style_.menuHoverText);
        button->SetBackground(style_.menuHoverBack);
      }
      return;
  }
  StopMarquee();
  marqueeLabel_ = button;
  marqueeText_ = button->Caption();
  marqueeCounter_ = 0;
  if (button->isEnabled()) labelRun_.start();
}

void MainWindow::OnButtonLeft(SkinButton* button) {
  using T = SkinButton::Type;
  const QString picture = PictureOf(button);
  const auto [family, copy] = FamilyAndCopy(button->objectName());
  switch (button->ButtonType()) {
    case T::kA:
      SetCopies(family, QStringLiteral("BtnS_01"));
      break;
    case T::kB:
      SetPicture(picture, QStringLiteral("SetS_01"));
      if (!session_->ErrorState()) {
        SetCopies(QLatin1String(kPageFamilies[static_cast<std::size_t>(page_) - 1]),
                  QStringLiteral("SetS_02"));
      }
      break;
    case T::kD:
      SetPicture(picture, QStringLiteral("SetS_01"));
      SelectLanguagePictures();
      break;
    case T::kC:
    case T::kE:
      SetPicture(picture, QStringLiteral("KeyS_01"));
      break;
    case T::kF:
    case T::kStart:
      SetPicture(picture, QStringLiteral("MacroS_01"));
      break;
    case T::kG:
      SetPicture(picture, QStringLiteral("MacroBtnS_01"));
      break;
    case T::kH:
      button->SetTextColour(style_.macroText);
      button->SetBackground(style_.macroBack);
      return;
    case T::kWeb:
      SetCopies(QStringLiteral("Web"), QStringLiteral("WebS_01"));
      return;
    case T::kPlain:
      if (button->parentWidget() && button->parentWidget()->objectName().startsWith("Pnl_")) {
        button->SetTextColour(style_.menuText);
        button->SetBackground(style_.menuBack);
      }
      return;
  }
  if (marqueeLabel_ == button) StopMarquee();
}

void MainWindow::StopMarquee() {
  labelRun_.stop();
  if (marqueeLabel_) marqueeLabel_->SetShownText(marqueeLabel_->Caption());
  marqueeLabel_ = nullptr;
}

void MainWindow::LabelRunTimer() {
  if (!marqueeLabel_ || marqueeText_.isEmpty()) return;
  if (++marqueeCounter_ > 20) marqueeCounter_ = 2;
  // The first turn opens a gap of four blanks between the end and the start of the caption.
  if (marqueeCounter_ == 1) {
    marqueeText_ = marqueeText_.mid(1) + QStringLiteral("    ") + marqueeText_.at(0);
  } else {
    marqueeText_ = marqueeText_.mid(1) + marqueeText_.at(0);
  }
  marqueeLabel_->SetShownText(marqueeText_);
}

}  // namespace corvid::app
