#include "records/keypanel.h"

#include "platform/keyboardview.h"
#include "records/chartparts.h"
#include "records/keyprogresschart.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

KeyPanel::KeyPanel(const QString &note, QWidget *parent) : QWidget(parent)
{
    m_cboRange = ChartParts::rangeChoice(this);
    connect(m_cboRange, &QComboBox::activated, this, &KeyPanel::rangeChanged);

    m_content = new QWidget(this);
    m_keyboard = new KeyboardView(m_content);
    m_keyboard->installEventFilter(this);
    m_chart = new KeyProgressChart(m_content);
    auto *noteLabel = new QLabel(note, m_content);
    noteLabel->setWordWrap(true);
    m_grid = new QGridLayout(m_content);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->addWidget(m_keyboard, 0, 0, Qt::AlignLeft);
    m_grid->addWidget(noteLabel, 1, 0);
    m_grid->setRowStretch(ListsRow + 1, 1);
    m_grid->addWidget(m_chart, 0, 1, ListsRow + 2, 1);
    m_grid->setColumnStretch(1, 1);
    m_lblMessage = ChartParts::message(this);
    m_lblMessage->setWordWrap(true);
    m_area = new QStackedWidget(this);
    m_area->addWidget(m_content);
    m_area->addWidget(m_lblMessage);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(ChartParts::choice(QStringLiteral("範囲(&R):"), m_cboRange));
    layout->addWidget(m_area, 1);
    showMessage(ChartParts::Loading);
}

void KeyPanel::setLists(QWidget *lists)
{
    m_grid->addWidget(lists, ListsRow, 0, Qt::AlignLeft | Qt::AlignTop);
}

void KeyPanel::setLists(QLayout *lists)
{
    m_grid->addLayout(lists, ListsRow, 0);
}

int KeyPanel::games() const
{
    return ChartParts::games(m_cboRange);
}

void KeyPanel::showMessage(const QString &text)
{
    m_lblMessage->setText(text);
    m_area->setCurrentWidget(m_lblMessage);
}

void KeyPanel::showFigures()
{
    m_area->setCurrentWidget(m_content);
}

bool KeyPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_keyboard && event->type() == QEvent::MouseButtonPress) {
        const QChar key = ChartParts::keyAt(m_keyboard, static_cast<QMouseEvent *>(event)->position());
        if (!key.isNull())
            keyClicked(key);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
