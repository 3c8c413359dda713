#include "store/Group.h"

#include "platform/PreferencesStore.h"
#include "store/ColorText.h"
#include "store/StoreKeys.h"

Group::Group(const QString &title)
    : m_record{
        {RecordKeys::title, title},
        {RecordKeys::isHeader, true},
        {RecordKeys::isExpanded, true},
        {RecordKeys::color, QString(defaultGroupColor)},
    }
{
}

QString Group::title() const
{
    return StoredValue::stringIn(m_record, RecordKeys::title).value_or(QString());
}

void Group::setTitle(const QString &title)
{
    m_record.insert(RecordKeys::title, title);
}

QString Group::color() const
{
    return StoredValue::stringIn(m_record, RecordKeys::color).value_or(QString());
}

QColor Group::tagColor() const
{
    const QString code = color();
    return ColorText::toColor(code.isEmpty() ? QString(defaultGroupColor) : code);
}

void Group::setColor(const QString &colorCode)
{
    m_record.insert(RecordKeys::color, colorCode);
}

bool Group::isExpanded() const
{
    return StoredValue::flagIn(m_record, RecordKeys::isExpanded);
}

void Group::setExpanded(bool expanded)
{
    m_record.insert(RecordKeys::isExpanded, expanded);
}
