-- SQLite only: substring search over the line history through an FTS5 trigram index kept by triggers.
-- Search with DSHISTLANC LIKE '%TEXT%' (3 characters or more, case-insensitive) on LANCCONT_FTS and
-- join on rowid. After a VACUUM (which may renumber rowids) rebuild it:
-- INSERT INTO LANCCONT_FTS(LANCCONT_FTS) VALUES ('rebuild').

CREATE VIRTUAL TABLE LANCCONT_FTS USING fts5(DSHISTLANC, content='LANCCONT', content_rowid='rowid', tokenize='trigram');

CREATE TRIGGER LANCCONT_FTS_AI AFTER INSERT ON LANCCONT BEGIN
    INSERT INTO LANCCONT_FTS (rowid, DSHISTLANC) VALUES (new.rowid, new.DSHISTLANC);
END;

CREATE TRIGGER LANCCONT_FTS_AD AFTER DELETE ON LANCCONT BEGIN
    INSERT INTO LANCCONT_FTS (LANCCONT_FTS, rowid, DSHISTLANC) VALUES ('delete', old.rowid, old.DSHISTLANC);
END;

CREATE TRIGGER LANCCONT_FTS_AU AFTER UPDATE ON LANCCONT BEGIN
    INSERT INTO LANCCONT_FTS (LANCCONT_FTS, rowid, DSHISTLANC) VALUES ('delete', old.rowid, old.DSHISTLANC);
    INSERT INTO LANCCONT_FTS (rowid, DSHISTLANC) VALUES (new.rowid, new.DSHISTLANC);
END;
