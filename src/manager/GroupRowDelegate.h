#pragma once

#include <QKeySequence>
#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>

// Paints a group row: colour swatch, name, item count; the name is edited
// in a field over it, the caret put after the name.
class GroupRowDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum class Part { none, color, title };
    static constexpr int rowHeight = 40;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

    static QRect partRect(const QRect &rowRect, Part part);
    // The key that opens the colour tag picker for the selected row, and the
    // colour tag's tip, which shows it.
    static QKeySequence colorTagKeys() { return QKeySequence(Qt::CTRL | Qt::Key_T); }
    static QString colorTagTip();
    // The name field being edited, if any.
    QLineEdit *editor() const { return m_editor; }

private:
    mutable QPointer<QLineEdit> m_editor;
};
