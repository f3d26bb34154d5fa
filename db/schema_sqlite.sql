-- SQLite only: substring search over the line history through an FTS5 trigram index.
-- Search with DSHISTLANC LIKE '%TEXT%' (3 characters or more, case-insensitive) on LANCCONT_FTS and
-- join on rowid.
--
-- Keeping the index inside every write transaction costs more than the rest of a confirm (each commit
-- writes and merges index segments), so new and changed lines wait in LANCCONT_FTS_PEND and reach the
-- index in batches after their commit (db::indexPendingHistory). A search reads the index plus the
-- waiting lines, so it never misses one. A line is either indexed as it stands or waiting, never both.
-- After a VACUUM (which may renumber rowids) rebuild it:
-- INSERT INTO LANCCONT_FTS(LANCCONT_FTS) VALUES ('rebuild'); DELETE FROM LANCCONT_FTS_PEND;

CREATE VIRTUAL TABLE LANCCONT_FTS USING fts5(DSHISTLANC, content='LANCCONT', content_rowid='rowid', tokenize='trigram');

CREATE TABLE LANCCONT_FTS_PEND (ROWIDLANC INTEGER PRIMARY KEY);

CREATE TRIGGER LANCCONT_FTS_AI AFTER INSERT ON LANCCONT BEGIN
    INSERT OR IGNORE INTO LANCCONT_FTS_PEND (ROWIDLANC) VALUES (new.rowid);
END;

CREATE TRIGGER LANCCONT_FTS_AD AFTER DELETE ON LANCCONT BEGIN
    INSERT INTO LANCCONT_FTS (LANCCONT_FTS, rowid, DSHISTLANC)
        SELECT 'delete', old.rowid, old.DSHISTLANC
        WHERE NOT EXISTS (SELECT 1 FROM LANCCONT_FTS_PEND WHERE ROWIDLANC = old.rowid);
    DELETE FROM LANCCONT_FTS_PEND WHERE ROWIDLANC = old.rowid;
END;

CREATE TRIGGER LANCCONT_FTS_AU AFTER UPDATE OF DSHISTLANC ON LANCCONT BEGIN
    INSERT INTO LANCCONT_FTS (LANCCONT_FTS, rowid, DSHISTLANC)
        SELECT 'delete', old.rowid, old.DSHISTLANC
        WHERE NOT EXISTS (SELECT 1 FROM LANCCONT_FTS_PEND WHERE ROWIDLANC = old.rowid);
    DELETE FROM LANCCONT_FTS_PEND WHERE ROWIDLANC = old.rowid;
    INSERT OR IGNORE INTO LANCCONT_FTS_PEND (ROWIDLANC) VALUES (new.rowid);
END;
