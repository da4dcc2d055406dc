#include "barefetch.h"

#include "support.h"

#include <firebird/Interface.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Firebird;

namespace bench {

namespace {

IMaster* master()
{
    static IMaster* instance = fb_get_master_interface();
    return instance;
}

[[noreturn]] void rethrow(const FbException& e)
{
    char text[2048];
    master()->getUtilInterface()->formatStatus(text, sizeof text, e.getStatus());
    throw std::runtime_error(text);
}

IAttachment* attach(ThrowStatusWrapper* st, const Server& server, const QString& path)
{
    IXpbBuilder* dpb =
        master()->getUtilInterface()->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(st, isc_dpb_user_name, server.user.toUtf8().constData());
    dpb->insertString(st, isc_dpb_password, server.password.toUtf8().constData());
    dpb->insertString(st, isc_dpb_lc_ctype, "UTF8");
    dpb->insertTag(st, isc_dpb_utf8_filename);
    IProvider* provider = master()->getDispatcher();
    IAttachment* attachment =
        provider->attachDatabase(st, server.databaseValue(path).toUtf8().constData(),
                                 dpb->getBufferLength(st), dpb->getBuffer(st));
    provider->release();
    dpb->dispose();
    return attachment;
}

} // namespace

struct BareFetch::Impl
{
    IStatus* status = master()->getStatus();
    ThrowStatusWrapper st{status};
    IAttachment* attachment = nullptr;
    IStatement* statement = nullptr;
    IMessageMetadata* output = nullptr;
    std::vector<unsigned char> buffer;
    struct Column
    {
        unsigned type, offset, nullOffset, length;
    };
    std::vector<Column> columns;
    std::vector<unsigned char> tpb;

    ~Impl()
    {
        try {
            if (output)
                output->release();
            if (statement)
                statement->free(&st);
            if (attachment)
                attachment->detach(&st);
        } catch (const FbException&) {
        }
        status->dispose();
    }
};

BareFetch::BareFetch(const Server& server, const QString& path) : d(std::make_unique<Impl>())
{
    try {
        d->attachment = attach(&d->st, server, path);
        IXpbBuilder* tpb =
            master()->getUtilInterface()->getXpbBuilder(&d->st, IXpbBuilder::TPB, nullptr, 0);
        tpb->insertTag(&d->st, isc_tpb_read);
        tpb->insertTag(&d->st, isc_tpb_read_committed);
        tpb->insertTag(&d->st, isc_tpb_rec_version);
        tpb->insertTag(&d->st, isc_tpb_wait);
        tpb->insertInt(&d->st, isc_tpb_lock_timeout, 5);
        const unsigned char* bytes = tpb->getBuffer(&d->st);
        d->tpb.assign(bytes, bytes + tpb->getBufferLength(&d->st));
        tpb->dispose();
    } catch (const FbException& e) {
        rethrow(e);
    }
}

BareFetch::~BareFetch() = default;

void BareFetch::prepare(const QString& select)
{
    try {
        ITransaction* tr =
            d->attachment->startTransaction(&d->st, unsigned(d->tpb.size()), d->tpb.data());
        d->statement =
            d->attachment->prepare(&d->st, tr, 0, select.toUtf8().constData(), SQL_DIALECT_V6,
                                   IStatement::PREPARE_PREFETCH_METADATA);
        tr->commit(&d->st);
        d->output = d->statement->getOutputMetadata(&d->st);
        d->buffer.assign(d->output->getMessageLength(&d->st), 0);
        const unsigned count = d->output->getCount(&d->st);
        for (unsigned i = 0; i < count; ++i)
            d->columns.push_back(
                {d->output->getType(&d->st, i) & ~1u, d->output->getOffset(&d->st, i),
                 d->output->getNullOffset(&d->st, i), d->output->getLength(&d->st, i)});
    } catch (const FbException& e) {
        rethrow(e);
    }
}

BareFetch::Result BareFetch::fetchAll()
{
    Result result;
    try {
        ITransaction* tr =
            d->attachment->startTransaction(&d->st, unsigned(d->tpb.size()), d->tpb.data());
        IResultSet* cursor = d->statement->openCursor(&d->st, tr, nullptr, nullptr, d->output, 0);
        unsigned char* row = d->buffer.data();
        while (cursor->fetchNext(&d->st, row) == IStatus::RESULT_OK) {
            ++result.rows;
            for (const Impl::Column& c : d->columns) {
                ISC_SHORT null;
                std::memcpy(&null, row + c.nullOffset, sizeof null);
                if (null)
                    continue;
                const unsigned char* field = row + c.offset;
                if (c.type == SQL_VARYING) {
                    ISC_USHORT length;
                    std::memcpy(&length, field, sizeof length);
                    result.checksum += length + (length ? field[2] : 0);
                } else if (c.type == SQL_LONG) {
                    ISC_LONG v;
                    std::memcpy(&v, field, sizeof v);
                    result.checksum += static_cast<unsigned long long>(v);
                } else {
                    result.checksum += field[0] + c.length;
                }
            }
        }
        cursor->close(&d->st);
        tr->commit(&d->st);
    } catch (const FbException& e) {
        rethrow(e);
    }
    return result;
}

void dropDatabase(const Server& server, const QString& path)
{
    IStatus* status = master()->getStatus();
    ThrowStatusWrapper st(status);
    try {
        IAttachment* attachment = attach(&st, server, path);
        attachment->dropDatabase(&st);
    } catch (const FbException& e) {
        status->dispose();
        rethrow(e);
    }
    status->dispose();
}

int dropQuietly(const Server& server, const QStringList& paths, int rc)
{
    for (const QString& path : paths) {
        if (path.isEmpty())
            continue;
        try {
            dropDatabase(server, path);
        } catch (const std::exception& e) {
            line("note: %s was not dropped: %s", qPrintable(path), e.what());
        }
    }
    return rc;
}

} // namespace bench
