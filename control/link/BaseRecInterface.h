#pragma once

#include "control/link/RecorderRecords.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// One open link to a recorder: sends ASCII commands and parameter packets, and reports its
// connection state and every packet the recorder sends, whole, through its two signals. The
// manager keeps the recorder's decoded records in the link.
class BaseRecInterface : public QObject {
    Q_OBJECT
public:
    enum Kind { Ethernet = 0, Bluetooth = 1 };
    // What connectionChanged carries. 1 is not used.
    enum State { NotConnected = 0, Connected = 2, TimedOut = 3 };

    explicit BaseRecInterface(QObject* parent = nullptr);

    virtual Kind kind() const = 0;
    virtual void closeLink() = 0;
    // The command's text as UTF-8, unchanged and without terminator.
    virtual void sendCommand(const QString& command) = 0;
    // Raw bytes as one packet; false when they could not be sent.
    virtual bool sendData(const char* data, int length) = 0;
    bool sendBytes(const QByteArray& bytes) { return sendData(bytes.constData(), int(bytes.size())); }

    // A paint value (form 0) under the code its group and channel map to; nothing is sent, and
    // false returned, for a group or channel that maps to no code.
    bool sendPaintValue(int group, int channel, int value);
    // A typed value (form 1): the value packed as type carries it. Type 11 takes the 120-byte
    // information block from payload (stored in the records unchanged, sent marked as the
    // program's copy); type 13 takes a firmware command record followed by its data. False, and
    // nothing sent, for a type outside 0..255 or a payload that does not fit the type.
    bool sendTypedCommand(int type, quint64 value, const QByteArray& payload = {});
    // A query (form 1, operation 2, word 0); the recorder replies with the value.
    bool requestValue(int code);

    // "N/A" here; the links say how they are connected.
    virtual QString statusText() const;
    void setActive(int active) { active_ = active; }
    int isActive() const { return active_; }
    virtual bool isConnected() const { return false; }
    int linkIndex() const { return index_; }

    RecorderRecords& records() { return records_; }
    const RecorderRecords& records() const { return records_; }

signals:
    void connectionChanged(int index, int state);
    // data points into the link's receive buffer and is valid only during the emission.
    void packetReceived(int index, const char* data, int length);

protected:
    void setLinkIndex(int index) { index_ = index; }

private:
    int index_ = 0;
    int active_ = 1;
    RecorderRecords records_;
};
