#include "app/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "app/app.h"
#include "app/controls.h"

namespace tavo {
namespace {
QLabel* centredLabel(QWidget* parent, const char* name, int tag, const QString& text, int top,
                     int pixelSize, bool bold = false) {
    QLabel* label = makeLabel(parent, name, tag, text, {0, top, parent->width(), pixelSize + 10});
    label->setAlignment(Qt::AlignCenter);
    if (pixelSize > 0) {
        QFont f = label->font();
        f.setPixelSize(pixelSize);
        f.setBold(bold);
        label->setFont(f);
    }
    return label;
}
}  // namespace

TF_APropos::TF_APropos(App& app) : TavoDialog(app, "TF_APropos", 800, QStringLiteral("A propos")) {
    setClientSize(340, 250);
    setCloseOnEnter(true);
    Panel1 = placeControl(new QFrame(this), "Panel1", 0, QString(), {10, 10, 320, 190});
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(2);
    Label1 = centredLabel(Panel1, "Label1", 802,
                          QStringLiteral("Gestion d'une Collection de Bonsai"), 16, 15, true);
    L_Version = centredLabel(Panel1, "L_Version", 0, QString(), 48, 11);
    Label5 = centredLabel(Panel1, "Label5", 803, QStringLiteral("Développements : l'équipe Tavo"),
                          76, 11);
    Label8 =
        centredLabel(Panel1, "Label8", 809, QStringLiteral("Traduction : l'équipe Tavo"), 96, 11);
    Label6 =
        centredLabel(Panel1, "Label6", 806,
                     QStringLiteral("Remerciements à mes premiers testeurs pour leurs"), 130, 0);
    Label7 = centredLabel(Panel1, "Label7", 807,
                          QStringLiteral("remarques plus que constructives."), 150, 0);
    Button1 = makeButton(this, "Button1", 801, QStringLiteral("OK"), QString(), {130, 210, 80, 28});
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TF_APropos::FormActivate() {
    L_Version->setText(QStringLiteral("Version ") + App::version());
    Label8->setVisible(app_.session.languageName != "Français");
}

}  // namespace tavo
