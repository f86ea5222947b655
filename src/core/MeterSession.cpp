#include "core/MeterSession.h"
#include "core/TrendScale.h"
#include "meterlink/PortConnection.h"
#include <QTimer>

namespace core {

MeterSession::MeterSession(platform::SerialPort& port, platform::Clock& clock,
                           platform::MessageBox& messages, QObject* parent)
    : QObject(parent), port_(port) {
    setObjectName(QStringLiteral("meterSession"));
    tmrDispUpdate = new QTimer(this);
    tmrDispUpdate->setObjectName(QStringLiteral("tmrDispUpdate"));
    tmrLogClock = new QTimer(this);
    tmrLogClock->setObjectName(QStringLiteral("tmrLogClock"));
    connect(tmrDispUpdate, &QTimer::timeout, this, &MeterSession::tick);

    link_ = std::make_unique<meterlink::MeterLink>(port, clock, state_.reading, state_.link);
    connect(link_.get(), &meterlink::MeterLink::lineCompleted, this, &MeterSession::replyReceived);
    cycle_ = std::make_unique<DisplayCycle>(state_, clock, static_cast<DisplayCycleView&>(*this));
    watchdog_ = std::make_unique<meterlink::LinkWatchdog>(
        state_.link, state_.reading, port, messages, clock,
        static_cast<meterlink::LinkWatchdogHost&>(*this));
}

MeterSession::~MeterSession() = default;

int MeterSession::switchPort(qint16 portNo) {
    return meterlink::SwitchPort(port_, CommPortNo_, portNo);
}

void MeterSession::tick() {
    cycle_->tick();
}

void MeterSession::startDisplayCycle() {
    tmrDispUpdate->start();
}

void MeterSession::stopDisplayCycle() {
    tmrDispUpdate->stop();
}

bool MeterSession::displayCycleRunning() const {
    return tmrDispUpdate->isActive();
}

void MeterSession::resetTimers() {
    tmrDispUpdate->setInterval(DisplayTickMs);
    tmrLogClock->setInterval(1000);
    tmrLogClock->stop();
}

void MeterSession::stopTimers() {
    tmrDispUpdate->stop();
    tmrLogClock->stop();
}

void MeterSession::SendMeterCommand(const QString& text) {
    link_->SendMeterCommand(text);
}

void MeterSession::SendStartupCommands() {
    link_->SendStartupCommands();
}

void MeterSession::ResetMaxMin() {
    ::ResetMaxMin(state_.display);
}

void MeterSession::restartTrend() {
    state_.display.PriHistory.fill(0);
    state_.display.SecHistory.fill(0);
    ::ResetMaxMin(state_.display);
}

void MeterSession::followTrace(qint16 trace, float colour) {
    state_.display.TrendTrace = trace;
    state_.display.TrendColour = colour;
}

void MeterSession::applyMeterOption(const MeterOption& option) {
    SendMeterCommand(option.command);
    LinkCounters& link = state_.link;
    if (option.kind == MeterOption::Kind::Function) {
        if (state_.logger.LoggerOpen)
            emit rescaleDue();
        if (option.silenceLimit != 0)
            link.NoReplyLimit = option.silenceLimit;
    } else {
        link.NoReplyLimit = option.silenceLimit;
        link.NoReplyCount = 0;
        emit rateLineChanged(option.rateLine);
    }
}

void MeterSession::ShowDualLayout() {
    dualShown_ = true;
    emit layoutChanged(true);
}

void MeterSession::ShowSingleLayout() {
    dualShown_ = false;
    emit layoutChanged(false);
}

void MeterSession::runWatchdog() {
    watchdog_->check();
}

void MeterSession::setDisplayTexts(const QString& label1, const QString& label2) {
    emit displayTextsReplaced(label1, label2);
}

void MeterSession::resetReceiveState() {
    link_->ResetReceiveState();
}

} // namespace core
