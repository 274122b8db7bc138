#include "app/appidentity.h"

#include <QCoreApplication>

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Ambrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(AMBREL_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Velloran, LLC"));
}
