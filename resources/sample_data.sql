-- The sample problem set of the default database: our own word list.
-- Load after schema.sql.

BEGIN TRANSACTION;

INSERT INTO element_info VALUES (1, 0, '中学生向け問題', '', '', '', 1704067200, 1704067200, '', '');
INSERT INTO element_info VALUES (2, 2, '中学校 学校・教室などの単語', '', '', '学校や教室で使う英単語', 1704067200, 1704067200, '', '');
INSERT INTO folder VALUES (1, 0);
INSERT INTO folder VALUES (2, 1);

-- question: the Japanese meaning; answer: the English word.
INSERT INTO question VALUES (1, '教室', 'classroom', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (2, '黒板', 'blackboard', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (3, '机', 'desk', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (4, 'いす', 'chair', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (5, '先生、教師', 'teacher', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (6, '生徒、学生', 'student', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (7, '同級生', 'classmate', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (8, '教科書', 'textbook', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (9, 'ノート', 'notebook', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (10, '鉛筆', 'pencil', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (11, '消しゴム', 'eraser', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (12, '定規', 'ruler', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (13, '宿題', 'homework', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (14, '授業', 'lesson', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (15, '時間割', 'timetable', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (16, '図書館、図書室', 'library', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (17, '体育館', 'gym', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (18, '運動場、校庭', 'playground', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (19, '廊下', 'hallway', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (20, '校長', 'principal', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (21, '制服', 'uniform', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (22, '保健室', 'nurse''s office', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');
INSERT INTO question VALUES (23, '給食', 'school lunch', '', '', '', '', 0, 1704067200, 1704067200, '', '', '', '', '');

INSERT INTO section VALUES (2, 1);
INSERT INTO section VALUES (2, 2);
INSERT INTO section VALUES (2, 3);
INSERT INTO section VALUES (2, 4);
INSERT INTO section VALUES (2, 5);
INSERT INTO section VALUES (2, 6);
INSERT INTO section VALUES (2, 7);
INSERT INTO section VALUES (2, 8);
INSERT INTO section VALUES (2, 9);
INSERT INTO section VALUES (2, 10);
INSERT INTO section VALUES (2, 11);
INSERT INTO section VALUES (2, 12);
INSERT INTO section VALUES (2, 13);
INSERT INTO section VALUES (2, 14);
INSERT INTO section VALUES (2, 15);
INSERT INTO section VALUES (2, 16);
INSERT INTO section VALUES (2, 17);
INSERT INTO section VALUES (2, 18);
INSERT INTO section VALUES (2, 19);
INSERT INTO section VALUES (2, 20);
INSERT INTO section VALUES (2, 21);
INSERT INTO section VALUES (2, 22);
INSERT INTO section VALUES (2, 23);

COMMIT;
