#include "app/about_box.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "ui_kit/app.h"
#include "ui_kit/controls.h"

namespace tavo {
namespace {
// A centred label as tall as its font needs (a notice over `lines` lines wraps), placed at `top`
// of its panel, inside the panel's raised border with a margin. Returns the label; `top` moves
// below it.
QLabel* centredLabel(QWidget* parent, const char* name, int tag, const QString& text, int& top,
                     int pixelSize, bool bold = false, int lines = 1) {
    constexpr int kInset = 4;
    const int width = parent->width() - 2 * kInset;
    QLabel* label = makeLabel(parent, name, tag, text, {kInset, top, width, 10});
    label->setAlignment(Qt::AlignCenter);
    QFont f = label->font();
    if (pixelSize > 0) f.setPixelSize(pixelSize);
    f.setBold(bold);
    label->setFont(f);
    label->setWordWrap(lines > 1);
    const int height = QFontMetrics(f).lineSpacing() * lines + 6;
    label->setGeometry(kInset, top, width, height);
    top += height;
    return label;
}
}  // namespace

TF_APropos::TF_APropos(App& app) : TavoDialog(app, "TF_APropos", 800, QStringLiteral("A propos")) {
    setClientSize(340, 300);
    setCloseOnEnter(true);
    Panel1 = placeControl(new QFrame(this), "Panel1", 0, QString(), {10, 10, 320, 240});
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    int top = 12;
    Label1 = centredLabel(Panel1, "Label1", 802,
                          QStringLiteral("Gestion d'une Collection de Bonsai"), top, 15, true);
    L_Version = centredLabel(Panel1, "L_Version", 0, QString(), top, 11);
    top += 6;
    Label4 = centredLabel(Panel1, "Label4", 804,
                          QStringLiteral("Conçu et réalisé par l'équipe Tavo"), top, 11);
    Label5 = centredLabel(Panel1, "Label5", 803, QStringLiteral("Développements : l'équipe Tavo"),
                          top, 11);
    Label8 =
        centredLabel(Panel1, "Label8", 809, QStringLiteral("Traduction : l'équipe Tavo"), top, 11);
    top += 8;
    Label6 =
        centredLabel(Panel1, "Label6", 806,
                     QStringLiteral("Remerciements à mes premiers testeurs pour leurs"), top, 0);
    Label7 = centredLabel(Panel1, "Label7", 807,
                          QStringLiteral("remarques plus que constructives."), top, 0);
    top += 8;
    Label9 = centredLabel(Panel1, "Label9", 808,
                          QStringLiteral("Ce logiciel est fourni tel quel, sans aucune garantie."),
                          top, 0, false, 2);
    Button1 = makeButton(this, "Button1", 801, QStringLiteral("OK"), QString(), {130, 262, 80, 28});
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TF_APropos::FormActivate() {
    L_Version->setText(QStringLiteral("Version ") + App::version());
    Label8->setVisible(app_.session.languageName != "Français");
}

}  // namespace tavo
