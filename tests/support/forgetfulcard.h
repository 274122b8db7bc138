#ifndef FORGETFULCARD_H
#define FORGETFULCARD_H

#include <QBuffer>

// A card in memory that acknowledges every write but keeps none at or after
// `forgetFrom`, as failing flash can: what a repair wrote there reads back
// as the old bytes, or as nothing past the old end.
class ForgetfulCard : public QBuffer
{
public:
    ForgetfulCard(const QByteArray& contents, qint64 forgetFrom);

protected:
    qint64 writeData(const char* data, qint64 length) override;

private:
    qint64 forgetFrom;
};

#endif
