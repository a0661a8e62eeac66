#pragma once
// Requests and handlers shared by the engine tests.

#include "engine/clientfacade.h"
#include "engine/request.h"
#include "pathrequest.h"
#include "engine/requesterror.h"

#include <QList>
#include <QPair>

namespace enginetest {

using TestRequest = fake::PathRequest;

// Records every error it sees; takes it when `takes` is set.
class RecordingHandler : public tq::ITqRequestErrorHandler
{
public:
    explicit RecordingHandler(bool takes = true) : takes(takes) {}
    bool handleRequestError(qint64 id, const tq::RequestError& error) override
    {
        errors.append(qMakePair(id, error));
        return takes;
    }

    bool takes;
    QList<QPair<qint64, tq::RequestError>> errors;
};

} // namespace enginetest
