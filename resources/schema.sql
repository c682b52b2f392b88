-- The tables of a Kelvara database (*.klvdb7), version 7 subversion 2.
-- Column order is binding: the program inserts with VALUES(...) in this order.
-- Declared types give SQLite 3 the integer and text comparisons the program relies on.

CREATE TABLE version (
  version INTEGER,
  subversion INTEGER
);

CREATE TABLE question (
  qid INTEGER PRIMARY KEY,
  question TEXT,
  answer TEXT,
  hint TEXT,
  description TEXT,
  wavfilename TEXT,
  pronounce TEXT,
  mode INTEGER,
  ctime INTEGER,
  utime INTEGER,
  extra1 TEXT,
  extra2 TEXT,
  extra3 TEXT,
  extra4 TEXT,
  extra5 TEXT
);

CREATE TABLE section (
  sid INTEGER NOT NULL,
  qid INTEGER NOT NULL
);

CREATE TABLE element_info (
  eid INTEGER PRIMARY KEY,
  type INTEGER,
  name TEXT,
  author TEXT,
  writer TEXT,
  description TEXT,
  ctime INTEGER,
  utime INTEGER,
  extra1 TEXT,
  extra2 TEXT
);

CREATE TABLE folder (
  eid INTEGER NOT NULL,
  fid INTEGER NOT NULL
);

CREATE TABLE user_info (
  uid INTEGER PRIMARY KEY,
  name TEXT
);

CREATE TABLE log_id (
  lid INTEGER NOT NULL,
  uid INTEGER NOT NULL,
  eid INTEGER NOT NULL,
  mid INTEGER NOT NULL
);

CREATE TABLE element_log (
  lid INTEGER NOT NULL,
  FirstReplyDate INTEGER,
  nRun INTEGER,
  TotalReplySec INTEGER,
  TotalStrokes INTEGER,
  nAccomplish INTEGER,
  extra1 TEXT,
  extra2 TEXT
);

CREATE TABLE looped_questions (
  lid INTEGER NOT NULL,
  qid INTEGER NOT NULL
);

CREATE TABLE question_log (
  qid INTEGER NOT NULL,
  uid INTEGER NOT NULL,
  mid INTEGER NOT NULL,
  nc1 INTEGER,
  ni1 INTEGER,
  nc2 INTEGER,
  ni2 INTEGER,
  nc1pm INTEGER,
  ni1pm INTEGER,
  nc2pm INTEGER,
  ni2pm INTEGER,
  LastStudyTime INTEGER,
  LastMistakeTimeOnFirstReply INTEGER,
  ReplySec REAL,
  extra1 TEXT,
  extra2 TEXT
);

CREATE TABLE daily_log (
  did INTEGER NOT NULL,
  lid INTEGER NOT NULL,
  StartTime INTEGER,
  EndTime INTEGER,
  Strokes INTEGER,
  extra1 TEXT,
  extra2 TEXT
);

CREATE TABLE daily_question_log (
  did INTEGER NOT NULL,
  qid INTEGER NOT NULL,
  nc1 INTEGER,
  ni1 INTEGER,
  nc2 INTEGER,
  ni2 INTEGER,
  ReplySec REAL,
  ext1 INTEGER,
  ext2 INTEGER
);

-- The same statement the upgrade to subversion 2 runs on an older file.
 CREATE TABLE memory_rate (   qid INTEGER NOT NULL REFERENCES question(qid),   uid INTEGER NOT NULL REFERENCES user_info(uid),   rate INTEGER NOT NULL,   level INTEGER NOT NULL,   l1_time INTEGER NOT NULL,   l2_time INTEGER NOT NULL,   l3_time INTEGER NOT NULL,   l4_time INTEGER NOT NULL,   l5_time INTEGER NOT NULL,   l6_time INTEGER NOT NULL,   l7_time INTEGER NOT NULL,   l8_time INTEGER NOT NULL,   l9_time INTEGER NOT NULL,   l10_time INTEGER NOT NULL,   PRIMARY KEY( qid, uid ) );

-- The look-ups the program makes by these keys.
-- question_log carries LastStudyTime too, so that a memory rate reads its latest study from the index.
CREATE INDEX question_log_qid_uid ON question_log (qid, uid, LastStudyTime);
CREATE INDEX section_sid ON section (sid);
CREATE INDEX looped_questions_lid ON looped_questions (lid);
CREATE INDEX log_id_uid_eid_mid ON log_id (uid, eid, mid);
CREATE INDEX folder_fid ON folder (fid);
CREATE INDEX daily_question_log_did ON daily_question_log (did);
CREATE INDEX daily_log_lid ON daily_log (lid);

INSERT INTO version VALUES (7, 2);
