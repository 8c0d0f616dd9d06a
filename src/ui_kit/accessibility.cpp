#include "ui_kit/accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace tavo {

namespace {

// Marks a name given from a tool tip or a group's title, to be given again in a new language.
constexpr const char* kGivenName = "tavoGivenName";

bool focusable(const QWidget* w) {
    return (w->focusPolicy() & Qt::TabFocus) && !w->isWindow();
}

bool isInput(const QWidget* w) {
    return focusable(w) && !qobject_cast<const QAbstractButton*>(w);
}

// The label's text as a name: no mnemonic ampersand, no trailing colon.
QString nameOf(const QString& text) {
    QString name = text;
    name.remove(QLatin1Char('&'));
    name = name.trimmed();
    while (name.endsWith(QLatin1Char(':'))) name.chop(1);
    return name.trimmed();
}

// The label of `input` among its siblings: the nearest one on its left whose middle lies within
// the input's height, else the nearest one just above that overlaps it horizontally.
QLabel* labelOf(QWidget* input) {
    QWidget* parent = input->parentWidget();
    if (!parent) return nullptr;
    const QRect box = input->geometry();
    QLabel* best = nullptr;
    int bestDistance = 0;
    for (QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->buddy() && label->buddy() != input) continue;
        const QRect l = label->geometry();
        int distance = -1;
        if (l.right() <= box.left() + 4 && l.center().y() >= box.top() - 2 &&
            l.center().y() <= box.bottom() + 2)
            distance = box.left() - l.right();
        else if (l.bottom() <= box.top() + 4 && box.top() - l.bottom() <= 30 &&
                 l.left() < box.right() && l.right() > box.left())
            distance = 1000 + box.top() - l.bottom();  // a label on the left wins
        if (distance >= 0 && (!best || distance < bestDistance)) {
            best = label;
            bestDistance = distance;
        }
    }
    return best;
}

QString groupTitle(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget())
        if (const auto* group = qobject_cast<const QGroupBox*>(p))
            if (!group->title().isEmpty()) return nameOf(group->title());
    return {};
}

// The focusable widgets under `container`, each with the direct child of the container that
// holds it, ordered by that child's place and recursively inside it.
void collectInReadingOrder(QWidget* container, std::vector<QWidget*>& out) {
    std::vector<QWidget*> children;
    for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow()) children.push_back(child);
    // Rows first (a child whose middle is above another's top comes before it), then left to
    // right within a row.
    std::stable_sort(children.begin(), children.end(), [](QWidget* a, QWidget* b) {
        const QRect ra = a->geometry(), rb = b->geometry();
        if (ra.center().y() < rb.top()) return true;
        if (rb.center().y() < ra.top()) return false;
        return ra.left() < rb.left();
    });
    for (QWidget* child : children) {
        if (focusable(child)) out.push_back(child);
        // A view's own parts (its viewport, its scroll bars) are not stops of the window.
        if (!qobject_cast<QAbstractItemView*>(child)) collectInReadingOrder(child, out);
    }
}

}  // namespace

void nameControls(QWidget* window) {
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    // The text field of an editable list takes the list's name: lists first.
    std::stable_partition(widgets.begin(), widgets.end(), [](const QWidget* w) {
        return !qobject_cast<const QComboBox*>(w->parentWidget());
    });
    for (QWidget* w : widgets) {
        if (!focusable(w)) continue;
        if (isInput(w)) {
            QLabel* label = labelOf(w);
            if (label && !label->buddy()) label->setBuddy(w);
            if (label && !nameOf(label->text()).isEmpty()) {
                w->setAccessibleName(nameOf(label->text()));
                w->setProperty(kGivenName, true);
                continue;
            }
        }
        if (const auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (!nameOf(button->text()).isEmpty()) continue;  // its caption names it
        }
        // A name set elsewhere stays; one set here follows the language.
        if (!w->accessibleName().isEmpty() && !w->property(kGivenName).toBool()) continue;
        QString name = nameOf(w->toolTip());
        if (name.isEmpty()) name = groupTitle(w);
        if (const auto* combo = qobject_cast<const QComboBox*>(w->parentWidget()))
            name = combo->accessibleName();  // the text field of an editable list
        if (name.isEmpty()) name = nameOf(window->windowTitle());
        w->setAccessibleName(name);
        w->setProperty(kGivenName, true);
    }
}

void orderTabsByReading(QWidget* window) {
    std::vector<QWidget*> order;
    collectInReadingOrder(window, order);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace tavo
