#include "app/pages/pages.h"

namespace corvid::app {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const std::array<BorderButtonSpec, 15>& BorderButtons() {
  using T = SkinButton::Type;
  static const std::array<BorderButtonSpec, 15> buttons{{{"Reset", "Str002", T::kA},
                                                         {"Exit", "Str003", T::kA},
                                                         {"Main", "Str004", T::kB},
                                                         {"Switch", "Str005", T::kB},
                                                         {"Fixed", "Str006", T::kB},
                                                         {"Adv", "Str007", T::kB},
                                                         {"Breath", "Str008", T::kB},
                                                         {"Macro", "Str014", T::kB},
                                                         {"Update", "Str015", T::kB},
                                                         {"Save", "Str009", T::kB},
                                                         {"Load", "Str010", T::kB},
                                                         {"Lang1", "Str011", T::kD},
                                                         {"Lang2", "Str012", T::kD},
                                                         {"Lang3", "Str013", T::kD},
                                                         {"Web", "", T::kWeb}}};
  return buttons;
}

void BuildBorder(ControlFactory& factory, QWidget* page, int n) {
  for (const BorderButtonSpec& kind : BorderButtons()) {
    const QString picture = QStringLiteral("Img_%1_%2").arg(kind.name).arg(n);
    const QString label = QStringLiteral("Btn_%1_%2").arg(kind.name).arg(n);
    QString first = QStringLiteral("SetS_01");
    if (kind.type == SkinButton::Type::kA) first = QStringLiteral("BtnS_01");
    if (kind.type == SkinButton::Type::kWeb) first = QStringLiteral("WebS_01");
    factory.Picture(page, picture, first);
    SkinButton* button = factory.Button(page, kind.type, label);
    button->resize(factory.Index().Find(picture)->size());
    if (kind.type == SkinButton::Type::kWeb) button->SetCaption(QStringLiteral("Web"));
  }
}

}  // namespace corvid::app
