#include "wavwriter.h"

#include "filehash.h"
#include "tonepcm.h"

#include <QFile>
#include <QtEndian>

namespace {

QByteArray u16(quint16 value)
{
    QByteArray bytes(2, Qt::Uninitialized);
    qToLittleEndian<quint16>(value, bytes.data());
    return bytes;
}

QByteArray u32(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian<quint32>(value, bytes.data());
    return bytes;
}

QByteArray fixedText(const QByteArray& text, int length)
{
    QByteArray field = text.left(length);
    field.append(QByteArray(length - field.size(), '\0'));
    return field;
}

// Broadcast extension, version 1 layout (602 bytes, no coding history).
QByteArray bextPayload(const WavDescription& description)
{
    QByteArray payload;
    payload += fixedText(description.bextDescription, 256);
    payload += fixedText("Ambrel", 32);                 // Originator
    payload += fixedText("AMBRELTEST0001", 32);         // OriginatorReference
    payload += fixedText("2024-01-01", 10);             // OriginationDate
    payload += fixedText("12:00:00", 8);                // OriginationTime
    payload += u32(quint32(description.timeReference & 0xFFFFFFFFu));
    payload += u32(quint32(description.timeReference >> 32));
    payload += u16(1);                                   // Version
    payload += QByteArray(64, '\0');                     // UMID
    payload += QByteArray(10, '\0');                     // loudness values
    payload += QByteArray(180, '\0');                    // reserved
    return payload;
}

QByteArray formatPayload(const WavDescription& description)
{
    const quint16 blockAlign = quint16(description.channels * (description.bitsPerSample / 8));
    QByteArray payload;
    payload += u16(description.extensibleFormat ? 0xFFFE : description.formatTag);
    payload += u16(description.channels);
    payload += u32(description.sampleRate);
    payload += u32(description.sampleRate * blockAlign);
    payload += u16(blockAlign);
    payload += u16(description.bitsPerSample);
    if (description.extensibleFormat) {
        payload += u16(22);                              // extension size
        payload += u16(description.bitsPerSample);       // valid bits
        payload += u32(0);                               // channel mask: none given
        payload += u16(description.formatTag);           // sub-format GUID: tag, then the fixed tail
        payload += QByteArray::fromHex("000000001000800000aa00389b71");
    }
    return payload;
}

} // namespace

QByteArray WavWriter::ixmlDocument()
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<BWFXML><IXML_VERSION>1.61</IXML_VERSION><PROJECT>AMBREL</PROJECT>"
                             "<SCENE>1</SCENE><TAKE>1</TAKE><TAPE>CARD01</TAPE>"
                             "<NOTE>test take</NOTE></BWFXML>\n");
}

WrittenWav WavWriter::write(const WavDescription& description, const QString& path)
{
    WrittenWav written;
    written.path = path;
    const int bytesPerSample = description.bitsPerSample / 8;
    if (description.bitsPerSample % 8 != 0 || bytesPerSample < 2 || bytesPerSample > 4 || description.channels == 0) {
        written.error = QStringLiteral("samples are made at 16, 24 or 32 bits, one channel or more");
        return written;
    }

    for (int channel = 0; channel < description.channels; ++channel)
        written.expectedChannelPcm.append(TonePcm::channel(channel, description.samplesPerChannel, bytesPerSample));
    written.expectedSamples = TonePcm::interleave(written.expectedChannelPcm, bytesPerSample);
    if (description.strayDataPatternAt >= 0) {
        const QByteArray stray = QByteArrayLiteral("data") + u32(0);
        if (description.strayDataPatternAt + stray.size() > written.expectedSamples.size()) {
            written.error = QStringLiteral("the stray data pattern lies past the samples");
            return written;
        }
        written.expectedSamples.replace(description.strayDataPatternAt, stray.size(), stray);
        written.expectedChannelPcm = TonePcm::deinterleave(written.expectedSamples, description.channels, bytesPerSample);
    }

    QList<RiffChunk> chunks;
    if (description.withBext)
        chunks.append({ "bext", bextPayload(description) });
    if (description.withIxml) {
        QByteArray ixml = ixmlDocument();
        if (description.ixmlLength >= 0) {
            ixml = ixml.left(description.ixmlLength);
            ixml.append(QByteArray(description.ixmlLength - ixml.size(), ' '));
        }
        chunks.append({ "iXML", ixml });
    }
    chunks += description.extraChunks;
    chunks.append({ "fmt ", formatPayload(description) });

    QByteArray file = QByteArrayLiteral("RIFF") + u32(0) + QByteArrayLiteral("WAVE");
    for (const RiffChunk& chunk : qAsConst(chunks)) {
        PlacedChunk placed;
        placed.fourCC = chunk.fourCC;
        placed.offset = file.size();
        placed.sizeField = quint32(chunk.payload.size());
        placed.payloadBytes = chunk.payload.size();
        placed.padded = description.padOddChunks && (chunk.payload.size() % 2 == 1);
        file += fixedText(chunk.fourCC, 4) + u32(placed.sizeField) + chunk.payload;
        if (placed.padded)
            file += '\0';
        written.chunks.append(placed);
    }

    PlacedChunk data;
    data.fourCC = "data";
    data.offset = file.size();
    data.payloadBytes = written.expectedSamples.size();
    data.sizeField = description.finishedDataSize ? quint32(data.payloadBytes) : description.dataSizeField;
    written.dataSizeOffset = data.offset + 4;
    written.dataStart = data.offset + 8;
    written.chunks.append(data);
    file += QByteArrayLiteral("data") + u32(data.sizeField) + written.expectedSamples;

    switch (description.riffSize) {
    case RiffSizeMode::Zero: written.riffSizeField = 0; break;
    case RiffSizeMode::HeaderSize: written.riffSizeField = quint32(written.dataStart - 8); break;
    case RiffSizeMode::Finished: written.riffSizeField = quint32(file.size() - 8); break;
    case RiffSizeMode::Explicit: written.riffSizeField = description.riffSizeValue; break;
    }
    qToLittleEndian<quint32>(written.riffSizeField, file.data() + 4);

    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size()) {
        written.error = QStringLiteral("cannot write ") + path;
        return written;
    }
    out.close();
    written.fileSize = file.size();
    written.samplesSha256 = FileHash::sha256(path, written.dataStart, written.fileSize - written.dataStart);
    written.ok = true;
    return written;
}
