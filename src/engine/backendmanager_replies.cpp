#include "engine/backendmanager_parts_p.h"

#include <QCoreApplication>

namespace tq {

namespace {

constexpr int RepliesPerBatch = 4;

} // namespace

void BackendManagerPrivate::readReplyBatch()
{
    replyBatchPosted = false;
    int read = 0;
    QList<HttpRequestWorker*> batch;
    for (QueueEntry& entry : queue) {
        if (entry.state != EntryState::Finished)
            continue;
        if (read == RepliesPerBatch) {
            replyBatchPosted = true;
            QCoreApplication::postEvent(q, new QEvent(QEvent::Type(ReplyBatchEventType)));
            break;
        }
        entry.state = EntryState::Reading;
        batch.append(entry.worker);
        ++read;
    }
    // Reading a reply can remove entries or hold the rest back (a recovery), so the batch is
    // collected first and each is read only while it is still due.
    for (HttpRequestWorker* worker : batch) {
        const auto it = find(worker);
        if (it != queue.end() && it->state == EntryState::Reading)
            worker->handleReply();
    }
}

void BackendManager::processWorkerFinished(HttpRequestWorker* worker)
{
    auto it = d->find(worker);
    if (it == d->queue.end())
        return;
    it->state = EntryState::Finished;
    if (it->useProxy) {
        const qsizetype index = it - d->queue.begin();
        d->sendConnectionWaiters(worker->networkRequest().url());
        it = d->queue.begin() + index; // sending never adds or removes entries
    }
    // Platform answers are read at once; the rest a few per pass of the event loop.
    if (it->priority == QNetworkRequest::HighPriority) {
        it->state = EntryState::Reading;
        worker->handleReply();
    } else if (!d->replyBatchPosted) {
        d->replyBatchPosted = true;
        QCoreApplication::postEvent(this, new QEvent(QEvent::Type(ReplyBatchEventType)));
    }
}

void BackendManager::processResponseReceived(HttpRequestWorker* worker, const QVariant& response)
{
    const auto it = d->find(worker);
    if (it == d->queue.end()) {
        d->retire(worker);
        return;
    }
    if (it->methodType == MethodType::TqApi)
        d->recoveryAllowed = true;
    if ((it->methodType == MethodType::TqApi || it->methodType == MethodType::TqDiscover)
        && d->notifierListens(&TqNotifier::tqResponseReceived)) {
        Q_EMIT tqResponseReceived();
    }
    d->tellEnd(RequestEvent::Answered, *it, RequestError::Unknown);
    d->record(*it, nullptr);
    d->endAtClient(it->sender, d->answer(it->requestId, response));
    d->releaseAt(it);
}

} // namespace tq
