#include "app/pages/macro_page_view.h"

#include <QApplication>
#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWindow>

#include "app/dialogs/macro_name_dialog.h"
#include "app/keys/qt_key_mapping.h"
#include "app/pages/pages.h"
#include "app/skin/skin_button.h"
#include "app/skin/skin_picture.h"
#include "common/hex.h"
#include "keys/key_layers.h"
#include "macros/device_macro_bindings.h"
#include "platform/x11_input_source.h"
#include "session/device_macro_operations.h"

namespace corvid::app {
namespace {

using macros::DelayMode;
using macros::InsertChoice;
using macros::ValueField;

// Disabled texts of the page.
const QColor kGrey(114, 113, 113);

// The step line an item of the step list stands for.
constexpr int kLineRole = Qt::UserRole + 1;

// The small picture left of a step, by its kind digit: a clock for a delay, arrows down and up
// for a press and a release, blue arrows for pointer moves, brackets for the repeated block.
void DrawStepIcon(QPainter& painter, QRectF box, int kind) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const auto arrow = [&](const QColor& colour, qreal angle) {
    painter.translate(box.center());
    painter.rotate(angle);
    const qreal s = box.width() / 2 - 1;
    QPainterPath path;
    path.moveTo(0, -s);
    path.lineTo(s * 0.8, 0);
    path.lineTo(s * 0.3, 0);
    path.lineTo(s * 0.3, s);
    path.lineTo(-s * 0.3, s);
    path.lineTo(-s * 0.3, 0);
    path.lineTo(-s * 0.8, 0);
    path.closeSubpath();
    painter.fillPath(path, colour);
  };
  const QColor press(0x34, 0xd3, 0x99);
  const QColor release(0xfb, 0x92, 0x3c);
  const QColor move(0x22, 0xd3, 0xee);
  const QColor repeat(0xa7, 0x8b, 0xfa);
  switch (kind) {
    case 0: {
      painter.setPen(QPen(QColor(0xfb, 0xbf, 0x24), box.width() / 10 + 1));
      const QRectF face = box.adjusted(2, 2, -2, -2);
      painter.drawEllipse(face);
      painter.drawLine(face.center(), face.center() - QPointF(0, face.height() / 2 - 3));
      painter.drawLine(face.center(), face.center() + QPointF(face.width() / 2 - 4, 0));
      break;
    }
    case 1:
      arrow(press, 180);
      break;
    case 2:
      arrow(release, 0);
      break;
    case 3:
      arrow(move, 90);
      break;
    case 4:
      arrow(move, 270);
      break;
    case 5:
      arrow(move, 180);
      break;
    case 6:
      arrow(move, 0);
      break;
    case 7:
    case 8: {
      painter.setPen(QPen(repeat, box.width() / 8 + 1));
      const QRectF inner = box.adjusted(4, 3, -4, -3);
      const qreal x = kind == 7 ? inner.left() : inner.right();
      const qreal end = kind == 7 ? inner.center().x() : inner.center().x();
      painter.drawLine(QPointF(x, inner.top()), QPointF(x, inner.bottom()));
      painter.drawLine(QPointF(x, inner.top()), QPointF(end, inner.top()));
      painter.drawLine(QPointF(x, inner.bottom()), QPointF(end, inner.bottom()));
      break;
    }
    default:
      painter.setPen(kGrey);
      painter.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
      break;
  }
  painter.restore();
}

// Draws a step as the list shows it: its icon, then its text 45 pixels from the left.
class StepDelegate final : public QStyledItemDelegate {
 public:
  StepDelegate(const LayoutStyle& style, QObject* parent)
      : QStyledItemDelegate(parent), style_(style) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QString line = index.data(kLineRole).toString();
    const int kind = line.isEmpty() ? -1 : line.at(0).digitValue();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QRect rect = option.rect;
    painter->fillRect(rect, selected ? option.palette.highlight().color() : style_.macroBack);
    const int side = std::max(rect.height() - 4, 4);
    DrawStepIcon(*painter, QRectF(rect.left() + 2, rect.top() + 2, side, side), kind);
    painter->setPen(selected ? option.palette.highlightedText().color() : style_.macroText);
    painter->setFont(option.font);
    painter->drawText(rect.adjusted(45, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                      index.data(Qt::DisplayRole).toString());
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), style_.macroNameHeight};
  }

 private:
  const LayoutStyle& style_;
};

std::vector<std::uint8_t> BytesOfHex(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    const int high = common::HexDigitValue(hex[i]);
    const int low = common::HexDigitValue(hex[i + 1]);
    bytes.push_back(static_cast<std::uint8_t>(high < 0 || low < 0 ? 0 : high * 16 + low));
  }
  return bytes;
}

DelayMode DelayModeOfLine(const std::string& line0, std::uint16_t& delay) {
  if (line0.starts_with("01")) {
    delay = static_cast<std::uint16_t>(
        macros::FieldNumber(std::string_view(line0).substr(2)).value_or(macros::kInitialDelay));
    return DelayMode::kDefaultDelay;
  }
  if (line0 == "10") return DelayMode::kRecordedDelay;
  return DelayMode::kNoDelay;
}

// The button events of the window's own mouse clicks.
std::optional<platform::InputButton> ButtonOfQt(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return platform::InputButton::kLeft;
    case Qt::RightButton:
      return platform::InputButton::kRight;
    case Qt::MiddleButton:
      return platform::InputButton::kMiddle;
    case Qt::ForwardButton:
      return platform::InputButton::kForward;
    case Qt::BackButton:
      return platform::InputButton::kBackward;
    default:
      return std::nullopt;
  }
}

// A caption longer than its button takes a smaller font rather than losing its ends.
void FitCaption(SkinButton* button) {
  QFont font = button->font();
  while (font.pointSizeF() > 7 &&
         QFontMetrics(font).horizontalAdvance(button->Caption()) > button->width() - 6) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  button->setFont(font);
}

// The label of a field of the insert box ends just left of its field, on two lines where one
// is too short for it.
void PlaceFieldLabel(QLabel* label, const QWidget* field) {
  const int left = 6;
  const int width = std::max(field->x() - 6 - left, 20);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  const int height = std::max(label->heightForWidth(width), field->height());
  label->setGeometry(left, field->y() + field->height() / 2 - height / 2, width, height);
}

}  // namespace

MacroPageView::MacroPageView(WindowContext context) : PageView(context) {}

MacroPageView::~MacroPageView() { StopInput(); }

void MacroPageView::SetInputSource(std::unique_ptr<platform::MacroInputSource> source) {
  StopInput();
  input_ = std::move(source);
  inputChosen_ = true;
}

void MacroPageView::Connect() {
  pcList_ = Control<QListWidget>(QStringLiteral("LB_PCMacroName"));
  deviceList_ = Control<QListWidget>(QStringLiteral("LB_MacroName"));
  stepList_ = Control<QListWidget>(QStringLiteral("LB_macro"));
  stepList_->setItemDelegate(new StepDelegate(Context().style, stepList_));
  for (QListWidget* list : {pcList_, deviceList_, stepList_}) {
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->viewport()->installEventFilter(this);
  }
  nameDialog_ = new MacroNameDialog(Context().window);
  connect(nameDialog_, &MacroNameDialog::Confirmed, this, &MacroPageView::ApplyMacroName);

  const auto onClick = [this](const char* name, void (MacroPageView::*handler)()) {
    connect(Control<SkinButton>(QString::fromLatin1(name)), &SkinButton::clicked, this, handler);
  };
  onClick("Btn_NewMacro", &MacroPageView::Btn_NewMacroClick);
  onClick("Btn_NewName", &MacroPageView::Btn_NewNameClick);
  onClick("Btn_DelPCMacro", &MacroPageView::Btn_DelPCMacroClick);
  onClick("Btn_ImportOne", &MacroPageView::Btn_ImportOneClick);
  onClick("Btn_Import", &MacroPageView::Btn_ImportClick);
  onClick("Btn_ExportOne", &MacroPageView::Btn_ExportOneClick);
  onClick("Btn_Export", &MacroPageView::Btn_ExportClick);
  onClick("Btn_AddMacro", &MacroPageView::Btn_AddMacroClick);
  onClick("Btn_DelMacro", &MacroPageView::Btn_DelMacroClick);
  onClick("Btn_DevExport", &MacroPageView::Btn_DevExportClick);
  onClick("Btn_Start", &MacroPageView::Btn_StartClick);
  onClick("Btn_Del", &MacroPageView::Btn_DelClick);
  onClick("Btn_Insert", &MacroPageView::Btn_InsertClick);
  onClick("Btn_InsertStart", &MacroPageView::Btn_InsertStartClick);
  onClick("Btn_OK", &MacroPageView::Btn_OKClick);
  onClick("Btn_Cancel", &MacroPageView::Btn_CancelClick);

  const std::array<std::pair<const char*, DelayMode>, 3> rows{
      {{"RecDelay", DelayMode::kRecordedDelay},
       {"DelayTime", DelayMode::kDefaultDelay},
       {"NoDelay", DelayMode::kNoDelay}}};
  for (const auto& [row, mode] : rows) {
    connect(Control<SkinButton>(QStringLiteral("IB_%1").arg(row)), &SkinButton::clicked, this,
            [this, mode] { SetDelayMode(mode); });
    connect(Control<SkinButton>(QStringLiteral("IB_Insert%1").arg(row)), &SkinButton::clicked, this,
            [this, mode] { SetInsertDelayMode(mode); });
  }

  // The delay fields take digits only; the number fields also a minus sign.
  auto* delay = Control<QLineEdit>(QStringLiteral("Edt_Delay"));
  const QRegularExpression digits(QStringLiteral("[0-9]{0,5}"));
  const QRegularExpression signedDigits(QStringLiteral("-?[0-9]{0,5}"));
  delay->setMaxLength(5);
  delay->setValidator(new QRegularExpressionValidator(digits, delay));
  connect(delay, &QLineEdit::textEdited, this, [this, delay](const QString& text) {
    const QString shown = QString::fromStdString(recorder_.SetDelayText(text.toStdString()));
    if (shown != text) delay->setText(shown);
  });
  const std::array<std::pair<const char*, ValueField>, 4> fields{
      {{"Edt_InsertDelay", ValueField::kInsertDelay},
       {"edt_XAxisValue", ValueField::kXAxis},
       {"edt_YAxisValue", ValueField::kYAxis},
       {"edt_Repeat", ValueField::kRepeat}}};
  for (const auto& [name, field] : fields) {
    auto* edit = Control<QLineEdit>(QString::fromLatin1(name));
    const bool isDelay = field == ValueField::kInsertDelay;
    edit->setMaxLength(isDelay ? 5 : 6);
    edit->setValidator(new QRegularExpressionValidator(isDelay ? digits : signedDigits, edit));
    edit->setText(QString::fromStdString(editor_.FieldText(field)));
    connect(edit, &QLineEdit::textEdited, this, [this, edit, field](const QString& text) {
      const QString shown = QString::fromStdString(editor_.SetFieldText(field, text.toStdString()));
      if (shown != text) edit->setText(shown);
    });
  }
  connect(Control<QComboBox>(QStringLiteral("CB_Insert")), &QComboBox::currentIndexChanged, this,
          [this](int index) {
            if (editor_.InsertBoxOpen()) CB_InsertChange(index);
          });

  // While the pointer is over a record button its left clicks are not recorded; while recording
  // the button keeps its recording look.
  for (const char* name : {"Btn_Start", "Btn_InsertStart"}) {
    auto* button = Control<SkinButton>(QString::fromLatin1(name));
    const QString picture = QStringLiteral("Img_") + QString::fromLatin1(name).mid(4);
    connect(button, &SkinButton::Entered, this, [this, picture] {
      recorder_.SetRecordButtonHover(true);
      if (recorder_.Recording())
        Control<SkinPicture>(picture)->SetPicture(QStringLiteral("MacroS_03"));
    });
    connect(button, &SkinButton::Left, this, [this, picture] {
      recorder_.SetRecordButtonHover(false);
      if (recorder_.Recording())
        Control<SkinPicture>(picture)->SetPicture(QStringLiteral("MacroS_03"));
    });
  }

  connect(pcList_, &QListWidget::itemSelectionChanged, this, [this] {
    if (filling_) return;
    if (SelectedLibraryMacro()) {
      filling_ = true;
      deviceList_->clearSelection();
      filling_ = false;
      ShowLibraryMacro();
    } else if (shown_ == Shown::kLibrary) {
      ClearSteps();
    }
    UpdateCommands();
  });
  connect(deviceList_, &QListWidget::itemSelectionChanged, this, [this] {
    if (filling_) return;
    if (SelectedDeviceMacro()) {
      filling_ = true;
      pcList_->clearSelection();
      filling_ = false;
      ShowDeviceMacro();
    } else if (shown_ == Shown::kDevice) {
      ClearSteps();
    }
    UpdateCommands();
  });
  connect(stepList_, &QListWidget::itemSelectionChanged, this, [this] {
    if (filling_) return;
    const QList<QListWidgetItem*> selected = stepList_->selectedItems();
    editor_.SelectItem(selected.isEmpty()
                           ? std::nullopt
                           : std::optional<std::size_t>(stepList_->row(selected.first())));
    UpdateCommands();
  });
  ShowDelayRows("", recorder_.GetDelayMode());
  Refresh();
}

void MacroPageView::ApplyTexts(const shell::LanguageFile& texts) {
  ApplyMacroPageTexts(Context().controls, texts);
  for (const char* name : {"Btn_NewMacro", "Btn_NewName", "Btn_DelPCMacro", "Btn_ImportOne",
                           "Btn_Import", "Btn_ExportOne", "Btn_Export", "Btn_AddMacro",
                           "Btn_DelMacro", "Btn_DevExport", "Btn_Del", "Btn_Insert"}) {
    if (auto* button = Control<SkinButton>(QString::fromLatin1(name))) FitCaption(button);
  }
  const std::array<std::pair<const char*, const char*>, 4> fieldLabels{
      {{"lbl_Delay", "Edt_InsertDelay"},
       {"lbl_XAxisValue", "edt_XAxisValue"},
       {"lbl_YAxisValue", "edt_YAxisValue"},
       {"lbl_Repeat", "edt_Repeat"}}};
  for (const auto& [label, field] : fieldLabels) {
    auto* caption = Control<QLabel>(QString::fromLatin1(label));
    const QWidget* edit = Control(QString::fromLatin1(field));
    if (caption && edit) PlaceFieldLabel(caption, edit);
  }
  // The layout has given the fields their colours again; the recorder state decides the grey.
  if (pcList_) {
    ShowDelayRows("", recorder_.GetDelayMode());
    if (recorder_.Recording() && !recorder_.InsertMode()) {
      Control<SkinButton>(QStringLiteral("Btn_Start"))->SetCaption(FromUtf8(texts.Text("Str401")));
      GreyEdit(Control<QLineEdit>(QStringLiteral("Edt_Delay")), true);
    }
    if (editor_.InsertBoxOpen()) {
      CB_InsertChange(static_cast<int>(editor_.Choice()));
      if (recorder_.InsertMode()) {
        Control<SkinButton>(QStringLiteral("Btn_InsertStart"))
            ->SetCaption(FromUtf8(texts.Text("Str401")));
      }
    }
  }
}

void MacroPageView::Refresh() {
  if (!pcList_) return;
  FillDeviceList(std::nullopt);
  if (recorder_.Recording() || editor_.InsertBoxOpen()) return;
  FillLibraryList(SelectedLibraryMacro());
}

void MacroPageView::ResetForNoDevice() {
  if (!pcList_) return;
  if (shown_ == Shown::kDevice) ClearSteps();
  UpdateCommands();
}

// ---- lists ----

std::optional<std::size_t> MacroPageView::SelectedLibraryMacro() const {
  if (!pcList_) return std::nullopt;
  const QList<QListWidgetItem*> selected = pcList_->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  return static_cast<std::size_t>(pcList_->row(selected.first()));
}

std::optional<int> MacroPageView::SelectedDeviceMacro() const {
  if (!deviceList_) return std::nullopt;
  const QList<QListWidgetItem*> selected = deviceList_->selectedItems();
  if (selected.isEmpty()) return std::nullopt;
  return deviceList_->row(selected.first());
}

void MacroPageView::FillLibraryList(std::optional<std::size_t> select) {
  filling_ = true;
  pcList_->clear();
  if (macros::PcMacroLibrary* library = Library()) {
    for (const std::string& name : library->RefreshPCMacroName()) pcList_->addItem(FromUtf8(name));
  }
  filling_ = false;
  if (select && static_cast<int>(*select) < pcList_->count()) {
    pcList_->setCurrentRow(static_cast<int>(*select));
    pcList_->scrollToItem(pcList_->currentItem());
  } else {
    pcList_->scrollToBottom();
    if (shown_ == Shown::kLibrary) ClearSteps();
  }
  UpdateCommands();
}

void MacroPageView::FillDeviceList(std::optional<int> select) {
  filling_ = true;
  const bool wasShown = shown_ == Shown::kDevice;
  deviceList_->clear();
  for (const std::string& name : Session().Macros().MacroNames()) {
    deviceList_->addItem(FromUtf8(name));
  }
  filling_ = false;
  if (select && *select < deviceList_->count()) {
    deviceList_->setCurrentRow(*select);
    deviceList_->scrollToItem(deviceList_->currentItem());
  } else if (wasShown) {
    ClearSteps();
  }
  UpdateCommands();
}

void MacroPageView::ClearSteps() {
  editor_.Clear();
  shown_ = Shown::kNothing;
  FillStepList();
}

void MacroPageView::ShowLibraryMacro() {
  const std::optional<std::size_t> index = SelectedLibraryMacro();
  macros::PcMacroLibrary* library = Library();
  if (!index || !library) return;
  editor_.ShowLibraryMacro(library->Slot(*index).body);
  shown_ = Shown::kLibrary;
  FillStepList();
  // The page takes the delay mode the macro was made with.
  if (!editor_.Lines().empty()) {
    std::uint16_t delay = recorder_.Delay();
    const DelayMode mode = DelayModeOfLine(editor_.Lines().front(), delay);
    if (mode == DelayMode::kDefaultDelay) {
      const std::string shown = recorder_.SetDelayText(std::to_string(delay));
      Control<QLineEdit>(QStringLiteral("Edt_Delay"))->setText(QString::fromStdString(shown));
    }
    SetDelayMode(mode);
  }
}

void MacroPageView::ShowDeviceMacro() {
  const std::optional<int> index = SelectedDeviceMacro();
  if (!index) return;
  const std::optional<macros::DeviceMacroView> view = Session().Macros().ShowMacro(*index);
  if (!view || view->bodyLength <= 1) {
    ClearSteps();
    shown_ = Shown::kDevice;
    return;
  }
  const std::vector<std::uint8_t> body = BytesOfHex(view->hexText);
  editor_.ShowDeviceMacro(body, view->bodyLength - 1);
  shown_ = Shown::kDevice;
  FillStepList();
}

void MacroPageView::FillStepList() {
  const macros::MacroLines& lines =
      recorder_.Recording() && !recorder_.InsertMode() ? recorder_.Lines() : editor_.Lines();
  const std::optional<std::size_t> selected =
      recorder_.Recording() ? recorder_.SelectedItem() : editor_.SelectedItem();
  filling_ = true;
  stepList_->clear();
  for (std::size_t i = 1; i < lines.size(); ++i) {
    auto* item = new QListWidgetItem(FromUtf8(macros::StepLineDisplayText(lines[i])));
    item->setData(kLineRole, FromUtf8(lines[i]));
    stepList_->addItem(item);
  }
  if (selected && static_cast<int>(*selected) < stepList_->count()) {
    stepList_->setCurrentRow(static_cast<int>(*selected));
    stepList_->scrollToItem(stepList_->currentItem());
  }
  filling_ = false;
  UpdateCommands();
}

void MacroPageView::UpdateCommands() {
  const bool recording = recorder_.Recording();
  const bool boxOpen = editor_.InsertBoxOpen();
  const bool idle = !recording && !boxOpen;
  const bool library = SelectedLibraryMacro().has_value();
  const bool device = SelectedDeviceMacro().has_value();
  const auto enable = [this](const char* name, bool on) {
    Control(QString::fromLatin1(name))->setEnabled(on);
  };
  enable("Btn_NewMacro", idle && Library() && !Library()->IsFull());
  enable("Btn_NewName", idle && library);
  enable("Btn_DelPCMacro", idle && library);
  enable("Btn_ImportOne", idle && Library() && Library()->CanImportOne());
  enable("Btn_Import", idle && Library());
  enable("Btn_ExportOne", idle && library);
  enable("Btn_Export", idle && Library());
  enable("Btn_AddMacro", idle && library);
  enable("Btn_DelMacro", idle && device);
  enable("Btn_DevExport", idle);
  enable("Btn_Del", idle && editor_.StepCommandsAvailable());
  enable("Btn_Insert", idle && editor_.StepCommandsAvailable());
  // A recording goes into the macro it started on: the lists stay still meanwhile.
  pcList_->setEnabled(idle);
  deviceList_->setEnabled(idle);
  stepList_->setEnabled(!recording);
  enable("Btn_Start", !boxOpen && (recording || library));
}

void MacroPageView::ShowText(const QString& text) {
  Context().dialogs.ShowMessage(Context().window, text, false);
}

void MacroPageView::ReportLibraryResult(const macros::PCMacroResult& result) {
  if (!result.messageKey.empty()) {
    Session().Show(result.messageKey);
  } else if (!result.message.empty()) {
    ShowText(FromUtf8(result.message));
  } else if (result.status == macros::PCMacroStatus::kNoMacroInFile) {
    ShowText(QStringLiteral("The file holds no macro."));
  }
}

void MacroPageView::StoreBody(std::size_t index, const macros::MacroBody& body) {
  if (macros::PcMacroLibrary* library = Library()) {
    ReportLibraryResult(library->SetMacroBody(index, body));
  }
}

// ---- the library's commands ----

void MacroPageView::Btn_NewMacroClick() {
  macros::PcMacroLibrary* library = Library();
  if (!library || library->IsFull()) return;
  pendingName_ = macros::PendingMacroName::kNew;
  nameDialog_->Open(FromUtf8(Session().Text("Str510")), FromUtf8(Session().Text("Str511")),
                    FromUtf8(Session().Text("Str512")));
}

void MacroPageView::Btn_NewNameClick() {
  if (!SelectedLibraryMacro()) return;
  pendingName_ = macros::PendingMacroName::kRename;
  nameDialog_->Open(FromUtf8(Session().Text("Str510")), FromUtf8(Session().Text("Str511")),
                    FromUtf8(Session().Text("Str512")));
}

void MacroPageView::ApplyMacroName(const QString& name) {
  macros::PcMacroLibrary* library = Library();
  if (!library || name.isEmpty()) return;
  const std::optional<std::size_t> selected = SelectedLibraryMacro();
  const macros::PCMacroResult result =
      library->ApplyMacroName(pendingName_, selected, name.toStdString());
  ReportLibraryResult(result);
  if (result.ok() || result.status == macros::PCMacroStatus::kWriteFailed) {
    FillLibraryList(result.selected ? result.selected : selected);
  }
}

void MacroPageView::Btn_DelPCMacroClick() {
  const std::optional<std::size_t> index = SelectedLibraryMacro();
  if (!index || !Library()) return;
  const macros::PCMacroResult result = Library()->DeleteMacro(*index);
  ReportLibraryResult(result);
  ClearSteps();
  FillLibraryList(result.selected);
}

void MacroPageView::Btn_ImportOneClick() {
  if (!Library() || !Library()->CanImportOne()) return;
  const QString file =
      Context().dialogs.ChooseFileToOpen(Context().window, QStringLiteral("LoadFile (*.bin)"));
  if (file.isEmpty()) return;
  const macros::PCMacroResult result = Library()->ImportOne(file.toStdString());
  ReportLibraryResult(result);
  if (result.ok()) FillLibraryList(result.selected);
}

void MacroPageView::Btn_ImportClick() {
  if (!Library()) return;
  const QString file =
      Context().dialogs.ChooseFileToOpen(Context().window, QStringLiteral("LoadFile (*.bin)"));
  if (file.isEmpty()) return;
  const macros::PCMacroResult result = Library()->ImportAll(file.toStdString());
  ReportLibraryResult(result);
  if (result.ok() && result.fileRead && result.fileRead->IsShort()) {
    ShowText(
        QStringLiteral("The file was shorter than a macro library: only the macros it held "
                       "whole were taken."));
  }
  ClearSteps();
  FillLibraryList(std::nullopt);
}

void MacroPageView::Btn_ExportOneClick() {
  const std::optional<std::size_t> index = SelectedLibraryMacro();
  if (!index || !Library()) return;
  const QString file =
      Context().dialogs.ChooseFileToSave(Context().window, QStringLiteral("SaveFile (*.bin)"));
  if (file.isEmpty()) return;
  ReportLibraryResult(Library()->ExportOne(*index, file.toStdString()));
}

void MacroPageView::Btn_ExportClick() {
  if (!Library()) return;
  const QString file =
      Context().dialogs.ChooseFileToSave(Context().window, QStringLiteral("SaveFile (*.bin)"));
  if (file.isEmpty()) return;
  ReportLibraryResult(Library()->ExportAll(file.toStdString()));
}

// ---- the mouse's macros ----

namespace {
macros::ButtonPageView PageOf(const pages::PageModel& model) {
  return {model.key.captions, model.key.layer};
}
}  // namespace

void MacroPageView::AfterDeviceChange(std::optional<int> select) {
  // Buttons re-pointed or fallen back show their new captions when their layer is entered; the
  // layer on view takes them now, for the next save.
  pages::PageModel& model = Context().pageModel;
  model.key.captions = keys::LayerCaptions(Session().DataBuf(), model.key.layer,
                                           keys::CaptionContextOf(Session(), &Session().Macros()));
  ClearSteps();
  FillDeviceList(select);
}

void MacroPageView::Btn_AddMacroClick() {
  const std::optional<std::size_t> index = SelectedLibraryMacro();
  if (!index || !Library()) return;
  const macros::PCMacroSlot slot = Library()->Slot(*index);
  const session::DeviceMacroResult result =
      session::AddMacroToMouse(Session(), Session().Macros(), slot, PageOf(Context().pageModel));
  if (result.change.status == macros::DeviceMacroStatus::kBadName) {
    ShowText(QStringLiteral("This macro's name cannot be stored in the mouse."));
  }
  AfterDeviceChange(std::nullopt);
  deviceList_->scrollToBottom();
  filling_ = true;
  pcList_->setCurrentRow(static_cast<int>(*index));
  filling_ = false;
  ShowLibraryMacro();
}

void MacroPageView::Btn_DelMacroClick() {
  const std::optional<int> index = SelectedDeviceMacro();
  if (!index) return;
  const session::DeviceMacroResult result = session::DeleteDeviceMacro(
      Session(), Session().Macros(), *index, PageOf(Context().pageModel));
  AfterDeviceChange(result.change.selected);
}

void MacroPageView::Btn_DevExportClick() {
  const QString file =
      Context().dialogs.ChooseFileToSave(Context().window, QStringLiteral("SaveFile (*.bin)"));
  if (file.isEmpty()) return;
  const session::DeviceMacroExport exported =
      session::ExportDeviceMacros(Session().Macros(), file.toStdString());
  if (!exported.ok) ShowText(FromUtf8(exported.message));
}

// ---- the recorder ----

void MacroPageView::ShowDelayRows(const char* prefix, DelayMode mode) {
  const std::array<std::pair<const char*, DelayMode>, 3> rows{
      {{"RecDelay", DelayMode::kRecordedDelay},
       {"DelayTime", DelayMode::kDefaultDelay},
       {"NoDelay", DelayMode::kNoDelay}}};
  for (const auto& [row, rowMode] : rows) {
    Control<SkinPicture>(QStringLiteral("LED_%1%2").arg(QLatin1String(prefix), row))
        ->SetPicture(rowMode == mode ? QStringLiteral("RdS_E") : QStringLiteral("RdS_D"));
  }
  auto* edit =
      Control<QLineEdit>(*prefix ? QStringLiteral("Edt_InsertDelay") : QStringLiteral("Edt_Delay"));
  edit->setReadOnly(mode != DelayMode::kDefaultDelay);
  GreyEdit(edit, mode != DelayMode::kDefaultDelay);
}

void MacroPageView::GreyEdit(QLineEdit* edit, bool grey) {
  const LayoutStyle& style = Context().style;
  const QColor text = grey ? kGrey : style.macroText;
  edit->setStyleSheet(QStringLiteral("QLineEdit { color: %1; background: %2; border: 1px solid "
                                     "%2; padding: 0 3px; } QLineEdit:focus { border-color: %1; }")
                          .arg(text.name(), style.macroBack.name()));
}

void MacroPageView::SetDelayMode(DelayMode mode) {
  if (recorder_.Recording()) return;
  recorder_.SetDelayMode(mode);
  ShowDelayRows("", mode);
}

void MacroPageView::Btn_StartClick() {
  if (recorder_.Recording()) {
    if (!recorder_.InsertMode()) StopRecording();
    return;
  }
  if (editor_.InsertBoxOpen()) return;
  const std::optional<std::size_t> index = SelectedLibraryMacro();
  if (!index || !Library()) return;
  recordTarget_ = *index;
  StartRecording();
}

void MacroPageView::StartRecording() {
  recorder_.Start();
  editor_.Clear();
  shown_ = Shown::kLibrary;
  Control<SkinPicture>(QStringLiteral("Img_Start"))->SetPicture(QStringLiteral("MacroS_03"));
  Control<SkinButton>(QStringLiteral("Btn_Start"))->SetCaption(FromUtf8(Session().Text("Str401")));
  Control(QStringLiteral("Gb_Delay"))->setEnabled(false);
  GreyEdit(Control<QLineEdit>(QStringLiteral("Edt_Delay")), true);
  FillStepList();
  StartInput();
}

void MacroPageView::StopRecording() {
  StopInput();
  const macros::MacroLines lines = recorder_.Stop();
  Control<SkinPicture>(QStringLiteral("Img_Start"))->SetPicture(QStringLiteral("MacroS_03"));
  Control<SkinButton>(QStringLiteral("Btn_Start"))->SetCaption(FromUtf8(Session().Text("Str400")));
  Control(QStringLiteral("Gb_Delay"))->setEnabled(true);
  ShowDelayRows("", recorder_.GetDelayMode());
  const macros::EncodedMacro encoded = macros::MemoToMacro(lines);
  if (encoded.ok()) {
    StoreBody(recordTarget_, encoded.body);
  } else {
    ShowText(FromUtf8(encoded.reason));
  }
  filling_ = true;
  pcList_->setCurrentRow(static_cast<int>(recordTarget_));
  filling_ = false;
  ShowLibraryMacro();
}

bool MacroPageView::StartInput() {
  ++generation_;
  if (!inputChosen_) {
    input_ = std::make_unique<platform::X11InputSource>();
    inputChosen_ = true;
  }
  const std::uint64_t generation = generation_;
  const bool started = input_ && input_->Start([this, generation](const platform::InputEvent& e) {
    // On the source's own thread: the recorder is fed on the window's.
    QMetaObject::invokeMethod(
        this, [this, e, generation] { OnInput(e, generation); }, Qt::QueuedConnection);
  });
  windowEvents_ = !started;
  auto* notice = Control<QLabel>(QStringLiteral("lbl_RecordSource"));
  if (windowEvents_) {
    // Without the desktop's input, the keys and clicks that reach this window are recorded.
    notice->setText(
        QStringLiteral("Recording what is typed and clicked in this window only (%1).")
            .arg(FromUtf8(input_ ? input_->UnavailableReason() : std::string("no input source"))));
    notice->show();
    qApp->installEventFilter(this);
  } else {
    notice->hide();
  }
  // Keys typed while recording do not work the window's controls.
  stepList_->setFocus();
  UpdateCommands();
  return started;
}

void MacroPageView::StopInput() {
  ++generation_;
  if (input_) input_->Stop();
  if (windowEvents_) qApp->removeEventFilter(this);
  windowEvents_ = false;
  if (QWidget* notice = Control(QStringLiteral("lbl_RecordSource"))) notice->hide();
}

void MacroPageView::OnInput(const platform::InputEvent& event, std::uint64_t generation) {
  if (generation != generation_ || !recorder_.Recording()) return;
  const macros::RecorderUpdate update = recorder_.Feed(event);
  if (update.linesChanged) FillStepList();
  if (update.stopRequested || recorder_.StopRequested()) {
    if (recorder_.InsertMode()) {
      StopInsertRecording();
    } else {
      StopRecording();
    }
  }
}

bool MacroPageView::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseButtonPress && watched != nullptr) {
    // A press on a name list leaves the other one without a selection; a press below the last
    // item leaves its own list without one.
    for (QListWidget* list : {pcList_, deviceList_, stepList_}) {
      if (!list || watched != list->viewport()) continue;
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (!list->itemAt(mouse->position().toPoint())) {
        list->clearSelection();
        list->setCurrentItem(nullptr, QItemSelectionModel::Clear);
        if (list != stepList_) stepList_->setFocus();
        return true;
      }
    }
  }
  if (!windowEvents_ || !recorder_.Recording() || !watched->isWindowType()) return false;
  // The window's own events, once each: as they reach a window of the program.
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->isAutoRepeat()) return true;
      const model::TKeyboardHookKey identity = KeyOfQtKeyEvent(*key);
      if (identity != model::TKeyboardHookKey::kh_None) {
        OnInput(platform::InputEvent::Key(identity, type == QEvent::KeyPress, key->timestamp()),
                generation_);
      }
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (const auto button = ButtonOfQt(mouse->button())) {
        OnInput(platform::InputEvent::Button(*button, type == QEvent::MouseButtonPress,
                                             mouse->timestamp()),
                generation_);
      }
      return false;
    }
    default:
      return false;
  }
}

// ---- the editor ----

void MacroPageView::Btn_DelClick() {
  const std::optional<std::size_t> index = SelectedLibraryMacro();
  if (!index || !editor_.StepCommandsAvailable()) return;
  const macros::MacroEdit edit = editor_.DeleteStep();
  if (!edit.ok()) return;
  StoreBody(*index, edit.body);
  FillStepList();
}

void MacroPageView::Btn_InsertClick() {
  if (!SelectedLibraryMacro()) return;
  if (editor_.OpenInsertBox(stepList_->verticalScrollBar()->value()) != macros::EditStatus::kDone) {
    return;
  }
  Control(QStringLiteral("Gb_Delay"))->hide();
  Control(QStringLiteral("Img_InsertBase"))->show();
  Control(QStringLiteral("Gb_Insert"))->show();
  Control(QStringLiteral("Gb_Insert"))->raise();
  Control<QComboBox>(QStringLiteral("CB_Insert"))->setCurrentIndex(0);
  CB_InsertChange(0);
  UpdateCommands();
}

void MacroPageView::CB_InsertChange(int index) {
  if (index < 0 || index >= macros::kInsertChoiceCount) return;
  const auto choice = static_cast<InsertChoice>(index);
  if (!recorder_.Recording()) editor_.ChooseInsert(choice);
  Control<SkinPicture>(QStringLiteral("Img_InsertBase"))
      ->SetPicture(FromUtf8(macros::InsertChoiceBackground(editor_.Choice())));
  const bool delay = choice == InsertChoice::kDelayFront || choice == InsertChoice::kDelayBack;
  const bool key = macros::IsKeyChoice(choice);
  const bool x = choice == InsertChoice::kXAxisFront || choice == InsertChoice::kXAxisBack;
  const bool y = choice == InsertChoice::kYAxisFront || choice == InsertChoice::kYAxisBack;
  const bool repeat = choice == InsertChoice::kStartRepeat || choice == InsertChoice::kStopRepeat;
  const auto show = [this](const QString& name, bool on) { Control(name)->setVisible(on); };
  for (const char* row : {"InsertRecDelay", "InsertDelayTime", "InsertNoDelay"}) {
    show(QStringLiteral("LED_%1").arg(QLatin1String(row)), key);
    show(QStringLiteral("IB_%1").arg(QLatin1String(row)), key);
  }
  show(QStringLiteral("Img_InsertStart"), key);
  show(QStringLiteral("Btn_InsertStart"), key);
  show(QStringLiteral("lbl_Delay"), delay);
  show(QStringLiteral("Edt_InsertDelay"), delay || key);
  show(QStringLiteral("lbl_s_A"), delay || key);
  show(QStringLiteral("edt_XAxisValue"), x);
  show(QStringLiteral("lbl_XAxisValue"), x);
  show(QStringLiteral("edt_YAxisValue"), y);
  show(QStringLiteral("lbl_YAxisValue"), y);
  show(QStringLiteral("edt_Repeat"), repeat);
  show(QStringLiteral("lbl_Repeat"), repeat);
  Control(QStringLiteral("edt_Repeat"))->setEnabled(choice == InsertChoice::kStartRepeat);
  auto* delayEdit = Control<QLineEdit>(QStringLiteral("Edt_InsertDelay"));
  if (key) {
    ShowDelayRows("Insert", editor_.InsertDelayMode());
  } else {
    delayEdit->setReadOnly(false);
    GreyEdit(delayEdit, false);
  }
  Control<SkinButton>(QStringLiteral("Btn_OK"))
      ->SetCaption(FromUtf8(Session().Text(key ? "Str421" : "Str420")));
}

void MacroPageView::SetInsertDelayMode(DelayMode mode) {
  if (recorder_.Recording()) return;
  editor_.SetInsertDelayMode(mode);
  ShowDelayRows("Insert", mode);
}

void MacroPageView::Btn_InsertStartClick() {
  if (recorder_.Recording()) {
    if (recorder_.InsertMode()) StopInsertRecording();
    return;
  }
  if (editor_.StartInsertRecording() != macros::EditStatus::kDone) return;
  Control<SkinPicture>(QStringLiteral("Img_InsertStart"))->SetPicture(QStringLiteral("MacroS_03"));
  Control<SkinButton>(QStringLiteral("Btn_InsertStart"))
      ->SetCaption(FromUtf8(Session().Text("Str401")));
  for (const char* name : {"CB_Insert", "Btn_OK", "Btn_Cancel", "IB_InsertRecDelay",
                           "IB_InsertDelayTime", "IB_InsertNoDelay"}) {
    Control(QString::fromLatin1(name))->setEnabled(false);
  }
  GreyEdit(Control<QLineEdit>(QStringLiteral("Edt_InsertDelay")), true);
  FillStepList();
  StartInput();
}

void MacroPageView::StopInsertRecording() {
  StopInput();
  editor_.StopInsertRecording();
  Control<SkinPicture>(QStringLiteral("Img_InsertStart"))->SetPicture(QStringLiteral("MacroS_03"));
  Control<SkinButton>(QStringLiteral("Btn_InsertStart"))
      ->SetCaption(FromUtf8(Session().Text("Str400")));
  for (const char* name : {"CB_Insert", "Btn_OK", "Btn_Cancel", "IB_InsertRecDelay",
                           "IB_InsertDelayTime", "IB_InsertNoDelay"}) {
    Control(QString::fromLatin1(name))->setEnabled(true);
  }
  ShowDelayRows("Insert", editor_.InsertDelayMode());
  FillStepList();
}

void MacroPageView::Btn_OKClick() {
  Control<SkinPicture>(QStringLiteral("Img_OK"))->SetPicture(QStringLiteral("MacroBtnS_03"));
  const std::optional<std::size_t> index = SelectedLibraryMacro();
  if (!index) return;
  const macros::MacroEdit edit = editor_.ApplyInsert();
  switch (edit.status) {
    case macros::EditStatus::kDone:
      StoreBody(*index, edit.body);
      CloseInsertBox();
      FillStepList();
      return;
    case macros::EditStatus::kNotANumber:
      ShowText(QStringLiteral("Enter a number in the field first."));
      return;
    case macros::EditStatus::kZeroMove:
      ShowText(QStringLiteral("A move of 0 moves nothing: enter a value from -127 to 127."));
      return;
    case macros::EditStatus::kTooLong:
      ShowText(QStringLiteral("The macro would not fit in its 256 bytes."));
      return;
    default:
      return;
  }
}

void MacroPageView::Btn_CancelClick() {
  Control<SkinPicture>(QStringLiteral("Img_Cancel"))->SetPicture(QStringLiteral("MacroBtnS_03"));
  if (editor_.CancelInsert() != macros::EditStatus::kDone) return;
  CloseInsertBox();
  FillStepList();
  stepList_->verticalScrollBar()->setValue(editor_.RememberedTopIndex());
}

void MacroPageView::CloseInsertBox() {
  Control(QStringLiteral("Gb_Insert"))->hide();
  Control(QStringLiteral("Img_InsertBase"))->hide();
  Control(QStringLiteral("Gb_Delay"))->show();
  UpdateCommands();
}

}  // namespace corvid::app
