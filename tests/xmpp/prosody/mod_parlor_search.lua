-- The user search that the mahjong client expects, for the test server.
--
-- A "get" is answered with a data form holding one text-single field named
-- "search". A "set" with that form is answered with a data-form result whose
-- columns are "jid" and "Name": every known user whose account name or display
-- name contains the text, ignoring case, sorted by account. A "set" without a
-- data form is answered in the legacy way, with one item per user.
--
-- The known users come from the component's option "parlor_search_users", a
-- table from account name to display name, written by the test fixture.

local st = require "util.stanza";

local users = module:get_option("parlor_search_users", {});
local domain = module:get_option_string("parlor_search_domain", (module.host:gsub("^[^.]*%.", "")));

local xmlns_search = "jabber:iq:search";
local xmlns_data = "jabber:x:data";
local xmlns_disco_info = "http://jabber.org/protocol/disco#info";

local function matching(text)
	local found = {};
	if not text or text == "" then
		return found;
	end
	local needle = text:lower();
	for account, name in pairs(users) do
		if account:lower():find(needle, 1, true) or tostring(name):lower():find(needle, 1, true) then
			found[#found + 1] = account;
		end
	end
	table.sort(found);
	return found;
end

local function search_form(reply)
	reply:tag("query", { xmlns = xmlns_search })
		:text_tag("instructions", "Find a player by name")
		:tag("x", { xmlns = xmlns_data, type = "form" })
			:text_tag("title", "Player search")
			:tag("field", { var = "FORM_TYPE", type = "hidden" }):text_tag("value", xmlns_search):up()
			:tag("field", { var = "search", type = "text-single", label = "Name" }):up()
		:up():up();
	return reply;
end

local function form_result(reply, text)
	reply:tag("query", { xmlns = xmlns_search })
		:tag("x", { xmlns = xmlns_data, type = "result" })
			:tag("field", { var = "FORM_TYPE", type = "hidden" }):text_tag("value", xmlns_search):up()
			:tag("reported")
				:tag("field", { var = "jid", type = "jid-single", label = "JID" }):up()
				:tag("field", { var = "Name", type = "text-single", label = "Name" }):up()
			:up();
	for _, account in ipairs(matching(text)) do
		reply:tag("item")
			:tag("field", { var = "jid" }):text_tag("value", account .. "@" .. domain):up()
			:tag("field", { var = "Name" }):text_tag("value", tostring(users[account])):up()
		:up();
	end
	return reply:up():up();
end

local function legacy_result(reply, text)
	reply:tag("query", { xmlns = xmlns_search });
	for _, account in ipairs(matching(text)) do
		reply:tag("item", { jid = account .. "@" .. domain })
			:text_tag("nick", tostring(users[account]))
		:up();
	end
	return reply:up();
end

module:hook("iq/host", function (event)
	local origin, stanza = event.origin, event.stanza;
	local kind = stanza.attr.type;
	if kind ~= "get" and kind ~= "set" then
		return;
	end

	if kind == "get" and stanza:get_child("query", xmlns_disco_info) then
		origin.send(st.reply(stanza):tag("query", { xmlns = xmlns_disco_info })
			:tag("identity", { category = "directory", type = "user", name = "Player search" }):up()
			:tag("feature", { var = xmlns_disco_info }):up()
			:tag("feature", { var = xmlns_search }):up());
		return true;
	end

	local query = stanza:get_child("query", xmlns_search);
	if not query then
		return;
	end
	if kind == "get" then
		origin.send(search_form(st.reply(stanza)));
		return true;
	end

	local form = query:get_child("x", xmlns_data);
	if form then
		local text;
		for field in form:childtags("field") do
			if field.attr.var == "search" then
				text = field:get_child_text("value");
			end
		end
		origin.send(form_result(st.reply(stanza), text));
	else
		local text = query:get_child_text("nick") or query:get_child_text("first")
			or query:get_child_text("last") or query:get_child_text("email");
		origin.send(legacy_result(st.reply(stanza), text));
	end
	return true;
end);
