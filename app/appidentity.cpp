#include "app/appidentity.h"

#include <QCoreApplication>

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Ambrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4.4"));
    QCoreApplication::setOrganizationName(QStringLiteral("Velloran, LLC"));
}
