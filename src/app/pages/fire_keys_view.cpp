#include "app/pages/fire_keys_view.h"

#include <QEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "app/skin/skin_button.h"
#include "app/skin/skin_picture.h"
#include "keys/fire_aim_keys.h"

namespace corvid::app {
namespace {

QString RepeatName(int fireKey) { return QStringLiteral("Edt_Repeat%1").arg(fireKey); }
QString DelayName(int fireKey) { return QStringLiteral("Edt_DelayTime%1").arg(fireKey); }

// The number a field of digits holds; nothing when it is empty or too long to be one.
std::optional<int> FieldNumber(const QString& text) {
  bool number = false;
  const int value = text.toInt(&number);
  return number && value >= 0 ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

void FireKeysView::Connect() {
  for (int n = 1; n <= model::kFireKeyCount; ++n) {
    auto* repeat = Control<QLineEdit>(RepeatName(n));
    auto* delay = Control<QLineEdit>(DelayName(n));
    // Digits only, as many as the ranges need.
    repeat->setMaxLength(2);
    delay->setMaxLength(4);
    for (QLineEdit* edit : {repeat, delay}) {
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
      edit->setAlignment(Qt::AlignRight);
    }
    connect(repeat, &QLineEdit::textEdited, this,
            [this, n](const QString& text) { RepeatEdited(n, text); });
    connect(repeat, &QLineEdit::editingFinished, this, [this, n] { RepeatLeft(n); });
    connect(delay, &QLineEdit::textEdited, this,
            [this, n](const QString& text) { DelayEdited(n, text); });
    connect(delay, &QLineEdit::editingFinished, this, [this, n] { DelayLeft(n); });
    auto* keepOn = Control<SkinButton>(QStringLiteral("lbl_Fire%1Continue").arg(n));
    keepOn->setCheckable(true);
    connect(keepOn, &SkinButton::clicked, this, [this, n] { ContinueClicked(n); });
  }
  // The fields show the layer on show whenever the Advanced page comes up.
  Control(RepeatName(1))->parentWidget()->installEventFilter(this);
  ShowFields();
}

void FireKeysView::Refresh() { ShowFields(); }

bool FireKeysView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show) ShowFields();
  return PageView::eventFilter(watched, event);
}

void FireKeysView::ShowFields() {
  const keys::FireKeySettings& fire = Context().pageModel.fire;
  for (int n = 1; n <= model::kFireKeyCount; ++n) {
    const model::FireKeySetting& setting = fire[static_cast<std::size_t>(n - 1)];
    // setText is no edit: filling the fields writes nothing.
    Control<QLineEdit>(RepeatName(n))->setText(QString::number(setting.repeat));
    Control<QLineEdit>(DelayName(n))->setText(QString::number(setting.delay));
    ShowContinue(n);
  }
}

void FireKeysView::ShowContinue(int fireKey) {
  const bool on = Context().pageModel.fire[static_cast<std::size_t>(fireKey - 1)].continuous;
  Control<SkinPicture>(QStringLiteral("Img_Fire%1Continue").arg(fireKey))
      ->SetPicture(on ? QStringLiteral("CbS_E") : QStringLiteral("CbS_D"));
  Control<SkinButton>(QStringLiteral("lbl_Fire%1Continue").arg(fireKey))->setChecked(on);
}

void FireKeysView::Store(int fireKey, const model::FireKeySetting& setting) {
  pages::PageModel& model = Context().pageModel;
  if (!Session().IsConnected()) {
    // Nothing to write to; the field keeps what was typed for the next function menu choice.
    model.fire[static_cast<std::size_t>(fireKey - 1)] = setting;
    return;
  }
  keys::SetFireKey(Session(), model.key, model.fire, model.copies, fireKey, setting);
}

void FireKeysView::RepeatEdited(int fireKey, const QString& text) {
  auto* edit = Control<QLineEdit>(RepeatName(fireKey));
  const QString corrected = QString::fromStdString(keys::CorrectedRepeatText(text.toStdString()));
  if (corrected != text) {
    edit->setText(corrected);
    // An emptied field shows 1 selected: the next digit typed replaces it.
    if (text.isEmpty()) edit->selectAll();
  }
  model::FireKeySetting setting = Context().pageModel.fire[static_cast<std::size_t>(fireKey - 1)];
  const auto repeat = FieldNumber(corrected);
  // "0" is on its way to another number: nothing to write yet.
  if (!repeat || *repeat < 1) return;
  setting.repeat = *repeat;
  Store(fireKey, setting);
}

void FireKeysView::RepeatLeft(int fireKey) {
  auto* edit = Control<QLineEdit>(RepeatName(fireKey));
  const auto repeat = FieldNumber(edit->text());
  if (repeat && *repeat >= 1) return;
  // A count of 0 repeats nothing: the field settles on the least that does.
  edit->setText(QStringLiteral("1"));
  RepeatEdited(fireKey, edit->text());
}

void FireKeysView::DelayEdited(int fireKey, const QString& text) {
  const auto delay = FieldNumber(text);
  if (!delay || *delay > keys::kMaxFireDelay) return;  // corrected when the field is left
  model::FireKeySetting setting = Context().pageModel.fire[static_cast<std::size_t>(fireKey - 1)];
  setting.delay = *delay;
  Store(fireKey, setting);
}

void FireKeysView::DelayLeft(int fireKey) {
  auto* edit = Control<QLineEdit>(DelayName(fireKey));
  const QString corrected =
      QString::fromStdString(keys::CorrectedDelayText(edit->text().toStdString()));
  if (corrected == edit->text()) return;
  edit->setText(corrected);
  DelayEdited(fireKey, corrected);
}

void FireKeysView::ContinueClicked(int fireKey) {
  model::FireKeySetting setting = Context().pageModel.fire[static_cast<std::size_t>(fireKey - 1)];
  setting.continuous = !setting.continuous;
  Store(fireKey, setting);
  ShowContinue(fireKey);
}

}  // namespace corvid::app
