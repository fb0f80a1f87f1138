// SPDX-License-Identifier: MIT
#include "ObjectPool.h"
#include "TextArena.h"

#include <QTest>

#include <algorithm>
#include <utility>

using namespace Vexilo;

class TestMemory : public QObject
{
    Q_OBJECT

    static bool allZero(const char *bytes, qsizetype size)
    {
        return std::all_of(bytes, bytes + size, [](char c) { return c == 0; });
    }

private Q_SLOTS:
    // Released regions are wiped at once and counted; the rest is untouched.
    void arenaRegions()
    {
        TextArena arena(64);
        const char *first = arena.append("first secret");
        const char *second = arena.append("second");
        char *grown = arena.allocate(10);
        std::fill_n(grown, 10, 'x');
        arena.shrinkLast(4);
        QCOMPARE(arena.liveBytes(), 12 + 6 + 4);
        QVERIFY(allZero(grown + 4, 6)); // the part given back by shrinking
        QVERIFY(!arena.isSparse());

        const quint64 releases = TextArena::releaseCount();
        arena.release(first, 12);
        QVERIFY(allZero(first, 12));
        QCOMPARE(QByteArrayView(second, 6), QByteArrayView("second"));
        QCOMPARE(TextArena::releaseCount(), releases + 1);
        QVERIFY(arena.isSparse()); // 10 of 22 bytes left
    }

    // Allocations larger than a chunk get a chunk of their own; extending stops at a chunk's end.
    void arenaChunks()
    {
        TextArena arena(16);
        const QByteArray big(3 * HugePages::size, 'b');
        const char *stored = arena.append(big);
        QCOMPARE(QByteArrayView(stored, big.size()), QByteArrayView(big));
        QVERIFY(!arena.extendLast(1));
        const char *small = arena.append("s");
        QVERIFY(arena.extendLast(4) == small + 1);
    }

    // Freed blocks are reused; a chunk goes back to the system once every block of it is free.
    void poolRecyclesAndGivesBack()
    {
        ObjectPool pool(40);
        void *a = pool.allocate();
        void *b = pool.allocate();
        QVERIFY(a != b);
        pool.release(a);
        QCOMPARE(pool.allocate(), a);
        QCOMPARE(pool.chunkCount(), size_t(1));
        std::vector<void *> many;
        for (int i = 0; i < 300'000; ++i) // more than one chunk
            many.push_back(pool.allocate());
        QVERIFY(pool.chunkCount() > 1);
        for (void *block : many)
            pool.release(block);
        pool.release(a);
        QCOMPARE(pool.chunkCount(), size_t(1)); // b still lives in the first
        pool.release(b);
        QCOMPARE(pool.chunkCount(), size_t(0));
        QVERIFY(pool.allocate()); // and it starts again
    }

    // A few objects left in many chunks move to a fresh one, and the old chunks go.
    void sparsePoolMovesToAFreshChunk()
    {
        ObjectPool pool(40);
        std::vector<void *> blocks;
        for (int i = 0; i < 300'000; ++i)
            blocks.push_back(pool.allocate());
        const size_t chunks = pool.chunkCount();
        QVERIFY(chunks > 1 && !pool.isSparse());
        std::vector<void *> kept;
        for (size_t i = 0; i < blocks.size(); ++i) {
            if (i % 1000 == 0)
                kept.push_back(blocks[i]);
            else
                pool.release(blocks[i]);
        }
        QCOMPARE(pool.chunkCount(), chunks);
        QVERIFY(pool.isSparse());
        pool.startFreshChunk();
        for (void *&block : kept) {
            void *moved = pool.allocate();
            pool.release(std::exchange(block, moved));
        }
        QCOMPARE(pool.chunkCount(), size_t(1));
        QVERIFY(!pool.isSparse());
    }
};

QTEST_GUILESS_MAIN(TestMemory)
#include "tst_memory.moc"
