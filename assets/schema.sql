-- The empty lumo.sdb that ships beside the program. Column order is part of the file format:
-- every query reads rows by column position.
CREATE TABLE rule (
    id INTEGER PRIMARY KEY,
    arturl TEXT,
    code TEXT,
    name TEXT,
    url TEXT,
    cookie TEXT,
    ua TEXT,
    arttile TEXT,
    lasttime TEXT,
    spare TEXT,
    buquan TEXT,
    regular TEXT,
    before TEXT,
    after TEXT,
    tindex TEXT,
    uindex TEXT,
    oindex TEXT,
    isdo TEXT,
    lastid TEXT,
    type TEXT
);
CREATE TABLE info (
    id INTEGER PRIMARY KEY,
    planname TEXT,
    planid TEXT,
    title TEXT,
    url TEXT,
    other TEXT,
    addtime TEXT,
    issoucang TEXT
);
CREATE INDEX info_issoucang_id ON info (issoucang, id);
