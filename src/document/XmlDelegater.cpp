#include "document/XmlDelegater.h"

#include <QXmlStreamReader>

void XmlDelegater::parse(const QByteArray& data)
{
    m_stack.clear();
    QXmlStreamReader reader(data);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            m_stack.append(reader.name().toString());
            QHash<QString, QString> attributes;
            for (const QXmlStreamAttribute& attribute : reader.attributes())
                attributes.insert(attribute.name().toString(), attribute.value().toString());
            if (m_target)
                m_target->addElement(m_stack, attributes);
            break;
        }
        case QXmlStreamReader::EndElement:
            m_stack.removeLast();
            break;
        default:
            break;
        }
    }
}
